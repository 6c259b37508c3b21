#include "config/CActivityCodes.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace {

// The description's words, short ones ("of", "sa") left out unless nothing else is left.
QStringList wordsOf(const QString &description)
{
    static const QRegularExpression nonLetters(QStringLiteral("[^\\p{L}\\p{N}]+"));
    const QStringList all = description.split(nonLetters, Qt::SkipEmptyParts);
    QStringList long_;
    for (const QString &w : all)
        if (w.size() >= 3)
            long_ << w;
    return long_.isEmpty() ? all : long_;
}

// The code with extra letters: the first word's letters after its initial, one more each time.
QString codeOf(const QStringList &words, int extra)
{
    if (words.isEmpty())
        return QString();
    if (words.size() == 1)
        return words.first().left(3 + extra).toUpper();
    QString code;
    for (const QString &w : words)
        code += w.at(0);
    if (extra > 0)
        code.insert(1, words.first().mid(1, extra));
    return code.toUpper();
}

} // namespace

TextMap CActivityCodes::make(const TextMap &activities)
{
    TextMap codes;
    QSet<QString> taken;
    for (const auto &[id, description] : activities) {
        const QStringList words = wordsOf(description);
        QString code = codeOf(words, 0);
        for (int extra = 1; taken.contains(code) && extra < 8; ++extra)
            code = codeOf(words, extra);
        // Still the same as another (identical descriptions): told apart by the identifier.
        if (taken.contains(code) || code.isEmpty())
            code += id;
        taken.insert(code);
        codes.emplace(id, code);
    }
    return codes;
}
