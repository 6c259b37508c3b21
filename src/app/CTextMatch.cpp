#include "app/CTextMatch.h"

#include <QRegularExpression>

QString CTextMatch::fold(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        // Letters that carry their mark inside them and do not decompose.
        switch (c.unicode()) {
        case 0x0110: // Đ
        case 0x0111: // đ
            out += u'd';
            continue;
        case 0x0141: // Ł
        case 0x0142: // ł
            out += u'l';
            continue;
        case 0x00D8: // Ø
        case 0x00F8: // ø
            out += u'o';
            continue;
        case 0x00DF: // ß
            out += QLatin1String("ss");
            continue;
        default:
            out += c.toCaseFolded();
        }
    }
    return out;
}

QString CTextMatch::searchText(const QStringList &texts)
{
    return fold(texts.join(u'\n'));
}

QStringList CTextMatch::words(const QString &query)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return fold(query).split(blanks, Qt::SkipEmptyParts);
}

bool CTextMatch::matches(const QString &foldedText, const QStringList &words)
{
    for (const QString &w : words)
        if (!foldedText.contains(w))
            return false;
    return true;
}

bool CTextMatch::matches(const QStringList &texts, const QString &query)
{
    return matches(searchText(texts), words(query));
}
