// Markup documents from any source: parsing, walking every element, reading all data and
// writing must never crash, and the positions kept while writing must match a fresh parse.
#include "markup/CTagDocument.h"

#include <QByteArray>
#include <QString>
#include <cstdlib>

namespace {

// Every element below the document, depth first, through the navigation only.
QString walk(CTagDocument &doc)
{
    QString out;
    doc.resetPosition();
    if (!doc.findElement())
        return out;
    int depth = 0;
    for (;;) {
        if (doc.findChildElement()) {
            out += doc.childName() + u'=' + doc.childData() + u'{';
            if (!doc.intoElement())
                std::abort();
            ++depth;
            continue;
        }
        if (depth == 0)
            break;
        if (!doc.outOfElement())
            std::abort();
        --depth;
        out += u'}';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    CTagDocument doc;
    const bool parsed = doc.setDocument(bytes);
    if (parsed != doc.error().isEmpty())
        std::abort();
    walk(doc);

    // Write at a few places chosen by the input: after the first child of the root, inside it,
    // and at the end of the deepest first-child chain.
    doc.resetPosition();
    doc.findChildElement();
    doc.addChildElement(QStringLiteral("N"), QStringLiteral("a<&>'\""));
    doc.intoElement();
    doc.addElement(QStringLiteral("M"));
    doc.resetPosition();
    doc.findElement();
    while (doc.findChildElement() && doc.intoElement() && doc.findChildElement() && doc.intoElement()) {
    }
    doc.addChildElement(QStringLiteral("D"), QString::fromUtf8(bytes.left(8)));
    doc.addElement(QStringLiteral("E"));

    if (parsed) {
        CTagDocument again;
        if (!again.setDocument(doc.document()))
            std::abort();
        if (walk(doc) != walk(again))
            std::abort();
    }
    return 0;
}
