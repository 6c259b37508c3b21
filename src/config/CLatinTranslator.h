#pragma once

#include <QTranslator>
#include <memory>

// Qt's own translations for Serbian are written in Cyrillic; a user who reads the program in
// Serbian Latin gets them in Latin letters through this translator, which writes each text of the
// translator it wraps letter for letter in the Latin alphabet (Љ as Lj, Џ as Dž, ...).
class CLatinTranslator : public QTranslator
{
    Q_OBJECT
public:
    explicit CLatinTranslator(std::unique_ptr<QTranslator> cyrillic, QObject *parent = nullptr);
    ~CLatinTranslator() override;

    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override;

    // The Serbian Latin spelling of text; letters outside the Serbian Cyrillic alphabet stay.
    static QString toLatin(const QString &text);

private:
    std::unique_ptr<QTranslator> m_cyrillic;
};
