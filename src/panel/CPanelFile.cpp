#include "panel/CPanelFile.h"

#include "app/CFileWriter.h"

#include "app/CStringTable.h"
#include "app/CTextPool.h"
#include "markup/CFileText.h"
#include "markup/CTagDocument.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <climits>

namespace {

// The data of the next child called `name`; when there is none the child position stays and
// the data is that of the element found last, which is how files with gaps have always read.
QString nextChildData(CTagDocument &doc, const QString &name)
{
    doc.findChildElement(name);
    return doc.childData();
}

void readInt(CTagDocument &doc, const QString &name, int *value)
{
    int v = 0;
    if (CPanelFile::scanInt(nextChildData(doc, name), &v))
        *value = v;
}

} // namespace

bool CPanelFile::scanInt(const QString &text, int *value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    // "%d" skips the C locale's white space: space, tab, line feed, vertical tab, form feed, CR.
    while (i < n && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    if (i >= n || text[i] < u'0' || text[i] > u'9')
        return false;
    long long v = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        // Saturate instead of overflowing on absurd values.
        if (v <= static_cast<long long>(INT_MAX) + 1)
            v = v * 10 + (text[i].unicode() - u'0');
    }
    if (negative)
        v = -v;
    *value = static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    return true;
}

QByteArray CPanelFile::store(const PanelFileData &data)
{
    // The file lists tablets in the byte-wise order of their IDs, as the panel's map keeps them.
    QList<QPair<QByteArray, qsizetype>> order;
    order.reserve(data.tablets.size());
    for (qsizetype i = 0; i < data.tablets.size(); ++i)
        order.append({data.tablets[i].id.toUtf8(), i});
    std::stable_sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    CTagDocument doc;
    // About 180 bytes of markup per tablet besides its texts.
    doc.reserve(256 + data.imagePath.size() + data.tablets.size() * 240);
    doc.addElement(QStringLiteral("ZVPANEL"));
    doc.addChildElement(QStringLiteral("BKIMAGE"));
    doc.intoElement();
    doc.addChildElement(QStringLiteral("USE"), data.useImage ? QStringLiteral("1") : QStringLiteral("0"));
    doc.addChildElement(QStringLiteral("TILE"), data.tile ? QStringLiteral("1") : QStringLiteral("0"));
    doc.addChildElement(QStringLiteral("PATH"), data.imagePath);
    doc.outOfElement();
    for (const auto &entry : order) {
        const PanelFileTablet &t = data.tablets[entry.second];
        doc.addChildElement(QStringLiteral("PANEL"));
        doc.intoElement();
        doc.addChildElement(QStringLiteral("X"), QString::number(t.x));
        doc.addChildElement(QStringLiteral("Y"), QString::number(t.y));
        doc.addChildElement(QStringLiteral("W"), QString::number(t.w));
        doc.addChildElement(QStringLiteral("H"), QString::number(t.h));
        doc.addChildElement(QStringLiteral("EXPANDED"), t.expanded ? QStringLiteral("1") : QStringLiteral("0"));
        doc.addChildElement(QStringLiteral("LASTNAME"), t.lastName);
        doc.addChildElement(QStringLiteral("FIRSTNAME"), t.firstName);
        doc.addChildElement(QStringLiteral("CARD"), t.card);
        doc.addChildElement(QStringLiteral("ID"), t.id);
        doc.outOfElement();
    }
    return doc.document();
}

bool CPanelFile::save(const QString &path, const PanelFileData &data, QString *error)
{
    QString why;
    if (CFileWriter::writeAtomically(path, store(data), &why))
        return true;
    if (error)
        *error = CStringTable::format(1043, QDir::toNativeSeparators(path)) + u'\n' + why;
    return false;
}

PanelFileData CPanelFile::load(const QByteArray &fileBytes)
{
    PanelFileData data;
    CTagDocument doc;
    if (!doc.setDocument(CFileText::toUtf8(fileBytes)))
        return data;
    // The first element is the root, whatever its name.
    if (!doc.findElement())
        return data;
    if (doc.findChildElement(QStringLiteral("BKIMAGE"))) {
        data.backgroundPresent = true;
        doc.intoElement();
        data.useImage = nextChildData(doc, QStringLiteral("USE")) == u"1";
        data.tile = nextChildData(doc, QStringLiteral("TILE")) == u"1";
        data.imagePath = nextChildData(doc, QStringLiteral("PATH"));
        doc.outOfElement();
    }
    QSet<QString> ids;
    // A panel of a whole site repeats first names, and last names, many times: kept once each.
    CTextPool names;
    while (doc.findChildElement(QStringLiteral("PANEL"))) {
        doc.intoElement();
        PanelFileTablet t;
        readInt(doc, QStringLiteral("X"), &t.x);
        readInt(doc, QStringLiteral("Y"), &t.y);
        readInt(doc, QStringLiteral("W"), &t.w);
        readInt(doc, QStringLiteral("H"), &t.h);
        t.expanded = nextChildData(doc, QStringLiteral("EXPANDED")) != u"0";
        t.lastName = names.shared(nextChildData(doc, QStringLiteral("LASTNAME")));
        t.firstName = names.shared(nextChildData(doc, QStringLiteral("FIRSTNAME")));
        t.card = nextChildData(doc, QStringLiteral("CARD"));
        t.id = nextChildData(doc, QStringLiteral("ID"));
        doc.outOfElement();
        // The panel holds one tablet per ID: a second PANEL with a known ID is dropped.
        if (!ids.contains(t.id)) {
            ids.insert(t.id);
            data.tablets.append(t);
        }
    }
    return data;
}

PanelFileData CPanelFile::loadFile(const QString &path, bool *readOk)
{
    QFile file(path);
    const bool ok = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = ok ? file.readAll() : QByteArray();
    const bool readAll = ok && file.error() == QFileDevice::NoError;
    if (readOk)
        *readOk = readAll;
    return readAll ? load(bytes) : PanelFileData();
}
