#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM (a service manager stopping the program, the session ending), SIGINT (Ctrl+C in a
// terminal) and SIGHUP (the terminal closed) end the program the way Quit does, settings
// written and database threads stopped, instead of killing it where it stands. The handler
// only writes the signal's number to a socket; the event loop reads it.
class CStopSignals : public QObject
{
    Q_OBJECT
public:
    explicit CStopSignals(QObject *parent = nullptr);
    ~CStopSignals() override;

    // The name of a signal this handles ("SIGTERM").
    static const char *name(int signal);

signals:
    void stopRequested(int signal);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
