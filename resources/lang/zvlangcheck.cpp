// zvlangcheck FILE.ts         fails (exit 1) when FILE.ts lacks a text of the built-in set,
//                             listing each missing id with its English text
// zvlangcheck --update FILE.ts adds every missing id as an unfinished message, with the English
//                             text as its source, ready for Qt Linguist
#include "app/CStringTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cstdio>

namespace {

struct Message
{
    QString translation;
    bool unfinished = false;
};

bool readTs(const QString &path, QHash<QString, Message> *messages, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QXmlStreamReader xml(&file);
    QString id;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"message") {
            id = xml.attributes().value(QLatin1String("id")).toString();
        } else if (xml.name() == u"translation" && !id.isEmpty()) {
            const QStringView type = xml.attributes().value(QLatin1String("type"));
            Message m;
            m.unfinished = type == u"unfinished";
            // Texts Linguist keeps only for reference no longer count.
            const bool gone = type == u"vanished" || type == u"obsolete";
            m.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (!gone)
                messages->insert(id, m);
            id.clear();
        }
    }
    if (xml.hasError()) {
        *error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
        return false;
    }
    return true;
}

// The markers that the program fills in ("%s", "%d", "%1"): a translation must keep the same ones.
QStringList markers(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("%(s|d|[1-9])"));
    QStringList found;
    for (auto it = re.globalMatch(text); it.hasNext();)
        found.append(it.next().captured());
    found.sort();
    return found;
}

// What the program splits a text at: line feeds (status line and tooltip), tabs (menu text and
// shortcut) and, in menu texts, the mnemonic "&" ("&&" is a plain ampersand). A translation that
// differs here loses a tooltip, a shortcut or a mnemonic.
QString shape(const QString &id, const QString &text)
{
    QString out = QStringLiteral("%1 line feed(s), %2 tab(s)").arg(text.count(u'\n')).arg(text.count(u'\t'));
    if (id.startsWith(QLatin1String("menu.")))
        out += QStringLiteral(", %1 \"&\"").arg(QString(text).remove(QLatin1String("&&")).count(u'&'));
    return out;
}

QString oneLine(QString text)
{
    return text.replace(u'\n', QLatin1String("\\n")).replace(u'\t', QLatin1String("\\t"));
}

int update(const QString &path, const QStringList &missing)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    QString ts = QString::fromUtf8(file.readAll());
    file.close();
    const qsizetype end = ts.lastIndexOf(QLatin1String("</context>"));
    if (end < 0)
        return 2;
    QString added;
    for (const QString &id : missing)
        added += QStringLiteral("    <message id=\"%1\">\n        <source>%2</source>\n"
                                "        <translation type=\"unfinished\"></translation>\n    </message>\n")
                     .arg(id.toHtmlEscaped(), CStringTable::builtInText(id).toHtmlEscaped());
    ts.insert(end, added);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 2;
    file.write(ts.toUtf8());
    std::printf("%s: added %d unfinished message(s)\n", qPrintable(path), int(missing.size()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool updating = args.removeAll(QStringLiteral("--update")) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: zvlangcheck [--update] FILE.ts\n");
        return 2;
    }
    const QString path = args.first();
    QHash<QString, Message> messages;
    QString error;
    if (!readTs(path, &messages, &error)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
        return 2;
    }

    QStringList missing, badMarkers, badShapes, unfinished;
    for (const QString &id : CStringTable::builtInKeys()) {
        const auto it = messages.constFind(id);
        if (it == messages.cend() || it->translation.isEmpty()) {
            missing.append(id);
            continue;
        }
        if (markers(it->translation) != markers(CStringTable::builtInText(id)))
            badMarkers.append(id);
        if (shape(id, it->translation) != shape(id, CStringTable::builtInText(id)))
            badShapes.append(id);
        if (it->unfinished)
            unfinished.append(id);
    }
    if (updating)
        return update(path, missing);

    for (const QString &id : unfinished)
        std::fprintf(stderr, "%s: warning: id %s is marked unfinished\n", qPrintable(path), qPrintable(id));
    if (missing.isEmpty() && badMarkers.isEmpty() && badShapes.isEmpty())
        return 0;
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "%s lacks %d text(s) of the built-in English set; translate these ids:\n",
                     qPrintable(path), int(missing.size()));
        for (const QString &id : missing)
            std::fprintf(stderr, "  %s\t%s\n", qPrintable(id), qPrintable(oneLine(CStringTable::builtInText(id))));
        std::fprintf(stderr, "(\"zvlangcheck --update %s\" adds them as unfinished messages.)\n", qPrintable(path));
    }
    for (const QString &id : badMarkers)
        std::fprintf(stderr, "%s: id %s must keep the markers %s of its English text\n", qPrintable(path),
                     qPrintable(id), qPrintable(markers(CStringTable::builtInText(id)).join(u' ')));
    for (const QString &id : badShapes)
        std::fprintf(stderr, "%s: id %s must have %s like its English text, not %s\n", qPrintable(path), qPrintable(id),
                     qPrintable(shape(id, CStringTable::builtInText(id))),
                     qPrintable(shape(id, messages.value(id).translation)));
    return 1;
}
