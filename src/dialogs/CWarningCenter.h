#pragma once

#include "dialogs/CInvalidActLog.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

class CD_AckInvalidAct;
class CNotifications;
class CPhotoLoader;
class CTablet;
class QSoundEffect;
class QTimer;
class QWidget;

// The warnings of one run: the log, the open warning windows and the alarm that loops while
// any of them stands open. One object, owned by the application; interface thread only.
class CWarningCenter : public QObject
{
    Q_OBJECT
public:
    // programFolder ends with a separator; the log lives there unless it is given a folder of its
    // own (the demo keeps its log beside its database). "InvalidAct.wav" is one of the program's
    // data files (CDataFiles).
    explicit CWarningCenter(const QString &programFolder, const QString &logFolder = QString(),
                            QObject *parent = nullptr);
    // Windows still open go with it, without an acknowledged line.
    ~CWarningCenter() override;
    // The program ends: open windows close unacknowledged (nobody saw them) and the alarm stops.
    void dismissAll();

    // The application's center: the first one constructed and still alive.
    static CWarningCenter *instance();

    // Logs the warning, starts the alarm, and shows a modeless window over owner, the activity in
    // its colour (invalid: none known). Never waits.
    CD_AckInvalidAct *raise(QWidget *owner, const InvalidActFields &fields, const QColor &colour = QColor());
    // The warning a tablet raises: its employee and the registration it last warned about, in
    // the activity's colour, with the employee's photograph (read off the interface thread when
    // the tablet has none yet).
    CD_AckInvalidAct *raiseFor(QWidget *owner, const CTablet &tablet);
    // Brings the warning open longest forward (the tray's click); false when none is open.
    bool showOldest();
    // Routes every tablet's warnings to this center, over owner.
    void attachTablets(QWidget *owner);
    // Each new warning also goes to the desktop as a notification; clicking it brings the
    // warning forward, acknowledging the warning takes it away. Null: no notifications.
    void setNotifications(CNotifications *notifications);

    int openWarnings() const { return m_openWarnings; }
    // Whether the alarm was asked to loop; a missing file or audio device does not change it.
    bool isSoundPlaying() const { return m_soundPlaying; }
    QList<CD_AckInvalidAct *> openWindows() const;
    const CInvalidActLog &log() const { return m_log; }
    // Why warnings are not in the log yet, as the user reads it; empty while every line is
    // written. Lines that wait are written again at each warning and every retry interval.
    QString logProblem() const { return m_logProblem; }
    static void setLogRetryMs(int ms);
    // "Alarm sound unavailable" while the alarm cannot sound (no sound file, no audio device),
    // so that the guard watches the screen; empty while it can.
    QString soundProblem() const { return m_soundProblem; }

signals:
    // The number of warnings standing open, after every change.
    void openWarningsChanged(int open);
    // The log could not be written (text says so and why), or can again (empty text).
    void logProblemChanged(const QString &text);
    // The alarm can no longer sound (text says so), or can again (empty text).
    void soundProblemChanged(const QString &text);

private:
    QPoint cascadePosition(const QSize &size, QWidget *owner) const;
    void startSound();
    void stopSound();
    void onAcknowledged(CD_AckInvalidAct *warning);
    void onWindowGone(QObject *window);
    // After every write to the log: tells of a change of its state and retries while lines wait.
    void logWritten();
    // Looks again whether the alarm can sound (at start and when audio devices come and go).
    void checkSound();
    void bringForward(CD_AckInvalidAct *window);
    void withdrawNotification(QObject *window);

    QString m_folder;
    CInvalidActLog m_log;
    QString m_logProblem;
    QString m_soundProblem;
    CPhotoLoader *m_photos = nullptr;
    QHash<QString, QList<QPointer<CD_AckInvalidAct>>> m_waitingPhoto; // employee: windows
    QTimer *m_logRetry;
    int m_openWarnings = 0;
    bool m_soundPlaying = false;
    QSoundEffect *m_sound = nullptr;
    // Removed when destroyed, so never dangling.
    QList<CD_AckInvalidAct *> m_windows;
    QPointer<CNotifications> m_notifications;
    QHash<quint32, CD_AckInvalidAct *> m_notified; // notification id: its warning
};
