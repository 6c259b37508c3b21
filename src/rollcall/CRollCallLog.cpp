#include "rollcall/CRollCallLog.h"

#include "app/CClock.h"

#include <QFile>
#include <QFileInfo>

namespace {

// So many addresses counting at once are written out rather than kept.
constexpr qsizetype kMaxCounted = 4096;

qint64 minuteOf(const QDateTime &t)
{
    return t.toSecsSinceEpoch() / 60;
}

} // namespace

CRollCallLog::CRollCallLog(const QString &folder, qint64 cap) : m_folder(folder), m_cap(cap) {}

CRollCallLog::~CRollCallLog()
{
    flush(true);
}

QString CRollCallLog::filePath() const
{
    return m_folder + QStringLiteral("RollCallLog-%1.txt").arg(CClock::now().toString(QStringLiteral("yyyyMMdd")));
}

void CRollCallLog::write(const QString &text)
{
    flush();
    append(text);
}

void CRollCallLog::request(const QString &peer, const QByteArray &method, const QString &path, int status)
{
    const QString what =
        QStringLiteral("%1 %2\t%3").arg(QString::fromLatin1(method.left(16)), path.left(kMaxPath)).arg(status);
    // 503 answers a tick that was taken but not yet saved: the phone was served.
    if (status < 400 || status == 503) {
        write(QStringLiteral("request\t%1\t%2").arg(peer, what));
        return;
    }
    const qint64 minute = minuteOf(CClock::now());
    auto it = m_refused.find(peer);
    if (it != m_refused.end() && it->minute != minute) {
        flush();
        it = m_refused.find(peer);
    }
    if (it == m_refused.end()) {
        if (m_refused.size() >= kMaxCounted)
            flush(true);
        it = m_refused.insert(peer, {minute, 0, what});
    }
    ++it->count;
    flush();
}

void CRollCallLog::flush(bool everything)
{
    if (m_refused.isEmpty())
        return;
    const qint64 now = minuteOf(CClock::now());
    for (auto it = m_refused.begin(); it != m_refused.end();) {
        if (!everything && it->minute == now) {
            ++it;
            continue;
        }
        const QDateTime at = QDateTime::fromSecsSinceEpoch(it->minute * 60);
        append(QStringLiteral("refused\t%1\t%2 in the minute %3\tfirst %4")
                   .arg(it.key())
                   .arg(it->count)
                   .arg(at.toString(QStringLiteral("HH:mm")), it->first));
        it = m_refused.erase(it);
    }
}

void CRollCallLog::append(const QString &text)
{
    const QDateTime now = CClock::now();
    const QString path = filePath();
    if (now.date() != m_day) {
        // A file of the same day (an earlier run) counts towards the cap; one already full
        // has said so.
        m_day = now.date();
        m_size = QFileInfo(path).size();
        m_full = m_size >= m_cap;
    }
    if (m_full)
        return;
    QByteArray line = (now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u'\t' +
                       QString(text).replace(u'\n', u' ').replace(u'\r', u' ') + u'\n')
                          .toUtf8();
    if (m_size + line.size() > m_cap) {
        m_full = true;
        line = (now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                QStringLiteral("\tlog full: nothing more is logged today\n"))
                   .toUtf8();
    }
    // Appended and closed at once: a crash loses no line, and the file of a day is never
    // rewritten.
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Append))
        m_size += f.write(line);
}
