#include "db/CDateTime.h"

#include <cmath>
#include <ctime>

namespace {

const QDate kEpoch(1899, 12, 30);
// The range a date-time value can hold: 1 January 100 to 31 December 9999.
constexpr double kMinDays = -657434.0;
constexpr double kMaxDays = 2958465.99999;

} // namespace

CDateTime CDateTime::fromParts(int year, int month, int day, int hour, int minute, int second, int msec)
{
    if (year < 100 || year > 9999)
        return invalid();
    const QDate date(year, month, day);
    if (!date.isValid() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return invalid();
    const double whole = double(kEpoch.daysTo(date));
    const double frac = (double(hour * 3600 + minute * 60 + second) + msec / 1000.0) / 86400.0;
    return CDateTime(whole >= 0 ? whole + frac : whole - frac);
}

CDateTime CDateTime::fromLocal(const QDateTime &local, bool keepFraction)
{
    if (!local.isValid())
        return invalid();
    const QDate d = local.date();
    const QTime t = local.time();
    return fromParts(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), keepFraction ? t.msec() : 0);
}

bool CDateTime::looksLikeStoredText(const QString &text)
{
    if (text.size() != 19)
        return false;
    static const char pattern[] = "dddd-dd-dd dd:dd:dd";
    for (int i = 0; i < 19; ++i) {
        const QChar c = text.at(i);
        if (pattern[i] == 'd' ? !(c >= u'0' && c <= u'9') : c != QLatin1Char(pattern[i]))
            return false;
    }
    return true;
}

CDateTime CDateTime::fromText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return null();
    QDateTime dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
        if (d.isValid())
            return fromParts(d.year(), d.month(), d.day());
        return invalid();
    }
    // The wall-clock fields as written, whatever the time zone rules say about that moment.
    return fromParts(dt.date().year(), dt.date().month(), dt.date().day(), dt.time().hour(), dt.time().minute(),
                     dt.time().second());
}

bool CDateTime::toParts(int &year, int &month, int &day, int &hour, int &minute, int &second) const
{
    if (m_status != Valid || m_days < kMinDays || m_days > kMaxDays || std::isnan(m_days))
        return false;
    // Round to the nearest second first, so that 23:59:59.6 becomes the next day's 00:00:00.
    const double rounded = m_days + (m_days > 0.0 ? kHalfSecond : -kHalfSecond);
    const double whole = std::trunc(rounded);
    const double timePart = std::fabs(rounded - whole);
    long secs = long(timePart * 86400.0);
    if (secs >= 86400)
        secs = 86399;
    kEpoch.addDays(qint64(whole)).getDate(&year, &month, &day);
    hour = int(secs / 3600);
    minute = int((secs % 3600) / 60);
    second = int(secs % 60);
    return true;
}

QDateTime CDateTime::toLocal() const
{
    int y, mo, d, h, mi, s;
    if (!toParts(y, mo, d, h, mi, s))
        return QDateTime();
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

namespace {

void appendNumber(QString &out, int value, int width)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 || n < width);
    while (n > 0)
        out += QLatin1Char(digits[--n]);
}

// The numeric conversions the program's formats use, done here; true when the format holds
// nothing else, so that strftime (and its time-zone and locale look-ups) is not needed.
bool formatNumeric(const QString &fmt, int y, int mo, int d, int h, int mi, int s, QString &out)
{
    out.reserve(fmt.size() + 8);
    for (qsizetype i = 0; i < fmt.size(); ++i) {
        const QChar c = fmt.at(i);
        if (c != u'%') {
            out += c;
            continue;
        }
        if (++i >= fmt.size())
            return false;
        switch (fmt.at(i).unicode()) {
        case 'd':
            appendNumber(out, d, 2);
            break;
        case 'm':
            appendNumber(out, mo, 2);
            break;
        case 'Y':
            appendNumber(out, y, 1);
            break;
        case 'y':
            appendNumber(out, y % 100, 2);
            break;
        case 'H':
            appendNumber(out, h, 2);
            break;
        case 'M':
            appendNumber(out, mi, 2);
            break;
        case 'S':
            appendNumber(out, s, 2);
            break;
        case '%':
            out += u'%';
            break;
        default:
            return false;
        }
    }
    // strftime writes at most 256 bytes, and nothing at all when the text does not fit.
    if (out.size() >= 256 && out.toUtf8().size() >= 256)
        out.clear();
    return true;
}

} // namespace

QString CDateTime::format(const QString &strftimeFormat) const
{
    if (m_status == Null)
        return QString();
    int y, mo, d, h, mi, s;
    if (m_status == Invalid || !toParts(y, mo, d, h, mi, s))
        return QStringLiteral("Invalid DateTime");
    QString quick;
    if (formatNumeric(strftimeFormat, y, mo, d, h, mi, s, quick))
        return quick;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    const QDate date(y, mo, d);
    tm.tm_wday = date.dayOfWeek() % 7;
    tm.tm_yday = date.dayOfYear() - 1;
    tm.tm_isdst = -1;
    char buffer[256];
    const QByteArray fmt = strftimeFormat.toUtf8();
    const size_t n = std::strftime(buffer, sizeof buffer, fmt.constData(), &tm);
    return QString::fromUtf8(buffer, qsizetype(n));
}

int CDateTime::dayKey() const
{
    int y, mo, d, h, mi, s;
    if (m_status == Null)
        return -1;
    if (m_status == Invalid || !toParts(y, mo, d, h, mi, s))
        return -2;
    return y * 10000 + mo * 100 + d;
}

bool CDateTime::sameMoment(const CDateTime &other) const
{
    if (m_status == Null && other.m_status == Null)
        return true;
    if (m_status != Valid || other.m_status != Valid)
        return false;
    return std::fabs(m_days - other.m_days) < kHalfSecond;
}

long long CDateTime::wholeDaysBetween(const CDateTime &later, const CDateTime &earlier)
{
    double span = later.m_days - earlier.m_days;
    span += span >= 0.0 ? kHalfSecond : -kHalfSecond;
    return (long long)std::trunc(span);
}
