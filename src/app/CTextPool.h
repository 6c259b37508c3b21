#pragma once

#include <QSet>
#include <QString>

// Equal texts kept once: a site of tens of thousands shows a few hundred distinct dates, times and
// moments, and each row holding its own copy would cost memory for nothing. Not thread-safe: one
// pool per thread or per job.
class CTextPool
{
public:
    // The bound keeps a long run (which only ever adds new days) from keeping every text it saw.
    explicit CTextPool(qsizetype bound = 4096) : m_bound(bound) {}

    // text, or an equal one given out before.
    QString shared(const QString &text);

private:
    QSet<QString> m_texts;
    qsizetype m_bound;
};
