#pragma once

#include <QDate>
#include <QHash>
#include <QString>

// The day's roll-call log, "RollCallLog-YYYYMMDD.txt" beside the ticks file: every tick, drill
// and sharing event and every answered request of a phone, one line each, stamped with the time.
// A stranger must not be able to fill the disk through it: refused requests (no key, a wrong
// one, an unknown path) are counted into one line per address and minute, with the path cut,
// and the day's file stops growing at its cap, after one line saying so. Writing it never
// fails anything else.
class CRollCallLog
{
public:
    static constexpr qint64 kDayCap = 10 * 1024 * 1024;
    static constexpr int kMaxPath = 100;

    // folder ends with a separator.
    explicit CRollCallLog(const QString &folder, qint64 cap = kDayCap);
    ~CRollCallLog();
    CRollCallLog(const CRollCallLog &) = delete;
    CRollCallLog &operator=(const CRollCallLog &) = delete;

    QString filePath() const;
    // Appends one line (line breaks in it become blanks).
    void write(const QString &text);
    // One request of a phone: an answered one gets a line of its own, a refused one is counted.
    void request(const QString &peer, const QByteArray &method, const QString &path, int status);
    // Writes the counts of the minutes that have passed (all of them with everything true).
    void flush(bool everything = false);

private:
    struct Refused
    {
        qint64 minute = 0; // minutes since the epoch
        int count = 0;
        QString first; // "METHOD PATH STATUS" of the first request in the minute
    };
    void append(const QString &line);

    QString m_folder;
    qint64 m_cap;
    QDate m_day;       // the day m_size belongs to
    qint64 m_size = 0; // bytes in the day's file
    bool m_full = false;
    QHash<QString, Refused> m_refused; // by address
};
