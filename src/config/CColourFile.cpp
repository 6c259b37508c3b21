#include "config/CColourFile.h"

#include "markup/CTagDocument.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Files from existing Windows installations are in the Central European code page.
QByteArray asUtf8(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return bytes;
    QStringDecoder cp1250("windows-1250");
    if (cp1250.isValid()) {
        const QString converted = cp1250.decode(bytes);
        if (!cp1250.hasError())
            return converted.toUtf8();
    }
    return QString::fromLatin1(bytes).toUtf8();
}

} // namespace

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
    if (!doc.setDocument(asUtf8(bytes)))
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
    const QByteArray bytes = toBytes(map);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // A short write (full disk, size limit) is not always reported by the write itself, so
    // the written size is checked before the old file is replaced.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()) {
        if (error)
            *error = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("Short write");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
