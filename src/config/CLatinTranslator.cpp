#include "config/CLatinTranslator.h"

#include <QHash>

CLatinTranslator::CLatinTranslator(std::unique_ptr<QTranslator> cyrillic, QObject *parent)
    : QTranslator(parent), m_cyrillic(std::move(cyrillic))
{
}

CLatinTranslator::~CLatinTranslator() = default;

QString CLatinTranslator::translate(const char *context, const char *sourceText, const char *disambiguation,
                                    int n) const
{
    return toLatin(m_cyrillic->translate(context, sourceText, disambiguation, n));
}

bool CLatinTranslator::isEmpty() const
{
    return m_cyrillic->isEmpty();
}

QString CLatinTranslator::toLatin(const QString &text)
{
    // The Serbian Cyrillic alphabet, small letters; capitals are their upper case (a digraph's
    // second letter stays small unless the next letter is a capital too: "Љубав", "ЉУБАВ").
    static const QHash<QChar, QString> small = {
        {u'а', QStringLiteral("a")}, {u'б', QStringLiteral("b")},  {u'в', QStringLiteral("v")},
        {u'г', QStringLiteral("g")}, {u'д', QStringLiteral("d")},  {u'ђ', QStringLiteral("đ")},
        {u'е', QStringLiteral("e")}, {u'ж', QStringLiteral("ž")},  {u'з', QStringLiteral("z")},
        {u'и', QStringLiteral("i")}, {u'ј', QStringLiteral("j")},  {u'к', QStringLiteral("k")},
        {u'л', QStringLiteral("l")}, {u'љ', QStringLiteral("lj")}, {u'м', QStringLiteral("m")},
        {u'н', QStringLiteral("n")}, {u'њ', QStringLiteral("nj")}, {u'о', QStringLiteral("o")},
        {u'п', QStringLiteral("p")}, {u'р', QStringLiteral("r")},  {u'с', QStringLiteral("s")},
        {u'т', QStringLiteral("t")}, {u'ћ', QStringLiteral("ć")},  {u'у', QStringLiteral("u")},
        {u'ф', QStringLiteral("f")}, {u'х', QStringLiteral("h")},  {u'ц', QStringLiteral("c")},
        {u'ч', QStringLiteral("č")}, {u'џ', QStringLiteral("dž")}, {u'ш', QStringLiteral("š")},
    };
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const auto it = small.constFind(c.toLower());
        if (it == small.cend()) {
            out += c;
            continue;
        }
        if (!c.isUpper()) {
            out += *it;
            continue;
        }
        const bool nextUpper = i + 1 < text.size() && text.at(i + 1).isUpper();
        out += nextUpper ? it->toUpper() : it->left(1).toUpper() + it->mid(1);
    }
    return out;
}
