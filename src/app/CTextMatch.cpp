#include "app/CTextMatch.h"

#include <QRegularExpression>

namespace {

// The folded form of every code point below U+0250 (Latin letters with their marks): its base
// letter in lower case. Built once from the character data, with the letters that carry their
// mark inside them (and so do not decompose) named by hand.
struct FoldTable
{
    char16_t folded[0x250];
    FoldTable()
    {
        for (char16_t u = 0; u < 0x250; ++u) {
            QChar c(u);
            for (QString d = c.decomposition(); !d.isEmpty(); d = c.decomposition())
                c = d.at(0);
            folded[u] = c.toCaseFolded().unicode();
        }
        const struct
        {
            char16_t from, to;
        } own[] = {{0x0110, u'd'}, {0x0111, u'd'}, {0x0141, u'l'}, {0x0142, u'l'}, {0x00D8, u'o'},
                   {0x00F8, u'o'}, {0x0126, u'h'}, {0x0127, u'h'}, {0x0166, u't'}, {0x0167, u't'}};
        for (const auto &o : own)
            folded[o.from] = o.to;
    }
};

} // namespace

QString CTextMatch::fold(const QString &text)
{
    // Called for every row of a list at every key typed into its search: no normalisation
    // pass over the whole text, one table look-up a character.
    static const FoldTable table;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out += (u >= u'A' && u <= u'Z') ? QChar(u + 32) : c;
        } else if (u == 0x00DF) {
            out += QLatin1String("ss");
        } else if (u < 0x250) {
            out += QChar(table.folded[u]);
        } else if (c.category() == QChar::Mark_NonSpacing) {
            continue; // a mark written apart from its letter
        } else {
            QChar base = c;
            for (QString d = base.decomposition(); !d.isEmpty(); d = base.decomposition())
                base = d.at(0);
            out += base.toCaseFolded();
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
