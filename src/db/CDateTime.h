#pragma once

#include <QDateTime>
#include <QString>

// A date-time as the attendance database hands it over: days since 30 December 1899 00:00
// as a double (the time of day in the fraction; before that day the fraction's absolute value
// is the time), together with a status.
class CDateTime
{
public:
    enum Status
    {
        Valid,
        Invalid,
        Null
    };

    // Half a second in days: two valid moments closer than this are the same moment.
    static constexpr double kHalfSecond = 0.5 / 86400.0;

    // The zero date (1899-12-30 00:00), valid.
    CDateTime() = default;
    explicit CDateTime(double days, Status status = Valid) : m_days(days), m_status(status) {}

    static CDateTime null() { return CDateTime(0.0, Null); }
    static CDateTime invalid() { return CDateTime(0.0, Invalid); }
    // From local broken-down time; invalid outside the years 100 to 9999.
    static CDateTime fromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                               int msec = 0);
    // The fraction of a second is kept unless asked otherwise (the update pass takes "now" to
    // the second; a server's datetime carries milliseconds).
    static CDateTime fromLocal(const QDateTime &local, bool keepFraction = true);
    // "YYYY-MM-DD HH:MM:SS" (also "YYYY-MM-DD" and "YYYY-MM-DDTHH:MM:SS"); null for empty
    // text, invalid for anything else.
    static CDateTime fromText(const QString &text);
    // True when text has exactly the stored form "YYYY-MM-DD HH:MM:SS".
    static bool looksLikeStoredText(const QString &text);

    double days() const { return m_days; }
    Status status() const { return m_status; }
    bool isValid() const { return m_status == Valid; }
    bool isNull() const { return m_status == Null; }

    // Broken-down local time, rounded to the nearest second; false unless valid.
    bool toParts(int &year, int &month, int &day, int &hour, int &minute, int &second) const;
    QDateTime toLocal() const;

    // strftime formatting into at most 256 bytes: empty text for null, "Invalid DateTime" for
    // invalid.
    QString format(const QString &strftimeFormat) const;

    // The calendar day as the number yyyymmdd; two values have the same key exactly when
    // formatting them "%Y%m%d" gives the same text (-1 for null, -2 for invalid).
    int dayKey() const;

    // Equal when both are valid and differ by less than half a second, or both are null;
    // invalid values equal nothing.
    bool sameMoment(const CDateTime &other) const;

    // Whole days from earlier to later: the difference of the day counts (whatever their
    // status) plus half a second (minus when negative), truncated toward zero.
    static long long wholeDaysBetween(const CDateTime &later, const CDateTime &earlier);

private:
    double m_days = 0.0;
    Status m_status = Valid;
};
