#include "config/CColourFile.h"

#include "app/CFileWriter.h"

#include "markup/CFileText.h"
#include "markup/CTagDocument.h"

#include <QFile>

bool CColourFile::parseValue(const QString &text, ColourValue *value)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    ColourValue result = 0;
    int digits = 0;
    for (; i < text.size() && digits < 8; ++i, ++digits) {
        const char16_t c = text.at(i).unicode();
        int d;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else
            break;
        result = (result << 4) | ColourValue(d);
    }
    if (digits == 0)
        return false;
    *value = result;
    return true;
}

QString CColourFile::formatValue(ColourValue value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

void CColourFile::load(const QString &path, ColourMap &map)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    file.close();
    loadFromBytes(bytes, map);
}

void CColourFile::loadFromBytes(const QByteArray &bytes, ColourMap &map)
{
    CTagDocument doc;
    if (!doc.setDocument(CFileText::toUtf8(bytes)))
        return;
    // The root's name is not checked.
    if (!doc.findElement())
        return;
    while (doc.findChildElement(QStringLiteral("COLOR"))) {
        if (!doc.intoElement())
            break;
        if (doc.findChildElement(QStringLiteral("ACT"))) {
            const QString key = doc.childData();
            const auto entry = map.find(key);
            ColourValue value = 0;
            // A missing or unreadable VALUE leaves the activity's colour as it was.
            if (entry != map.end() && doc.findChildElement(QStringLiteral("VALUE")) &&
                parseValue(doc.childData(), &value))
                entry->second = value;
        }
        if (!doc.outOfElement())
            break;
    }
}

QByteArray CColourFile::toBytes(const ColourMap &map)
{
    CTagDocument doc;
    doc.addElement(QStringLiteral("ZVPANELCFG"));
    for (const auto &[key, value] : map) {
        doc.addChildElement(QStringLiteral("COLOR"));
        doc.intoElement();
        doc.addChildElement(QStringLiteral("ACT"), key);
        doc.addChildElement(QStringLiteral("VALUE"), formatValue(value));
        doc.outOfElement();
    }
    return doc.document();
}

bool CColourFile::save(const QString &path, const ColourMap &map, QString *error)
{
    return CFileWriter::writeAtomically(path, toBytes(map), error);
}
