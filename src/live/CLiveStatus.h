#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class CReferenceData;

// Whether what the windows show is current, since when it is not, and as of when it was: one
// judge for every window with live data (panels, lists, legend, "Not yet in", roll call, status
// bar, tray). The program has one, fed by the polling thread's cycles (CLiveUpdate); a window
// that reads the data on its own (a test without a polling thread) may keep one of its own.
class CLiveStatus : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether the shared data as the last cycle left them are current: the cycle read them all,
    // and the employees are not the last good rows of a re-read that failed.
    static bool isCurrent(const CReferenceData &ref);

    // A read of the live data ended at the moment given: current or not. A connection lost
    // before its cycle ends (a server that does not answer) is a read that is not current.
    void note(bool current, const QDateTime &at);
    void note(bool current);

    bool isCurrent() const { return m_since.isNull(); }
    // When the data stopped being current (null while they are).
    QDateTime since() const { return m_since; }
    // When the data were last current (null before the first good read).
    QDateTime asOf() const { return m_asOf; }

    // "Not connected since 14:15; as of 14:14", empty while current. key names a text of the
    // same shape ("%1" since, "%2" as of): the roll call says "list as of".
    QString staleText(const QString &key = QStringLiteral("live.stale")) const;
    // The "as of" moment as the texts show it: "14:14", with the date when it is not today's,
    // "never" before the first good read.
    QString asOfText() const;
    // A moment as the texts show it (the date too when it is not today's).
    static QString moment(const QDateTime &at);

signals:
    // Current or not, since or as of changed.
    void changed();

private:
    QDateTime m_since;
    QDateTime m_asOf;
};
