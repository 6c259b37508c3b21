#pragma once

#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QTimer>

class QSqlDatabase;

// Brings the demo database to life: at every tick it clocks a random employee (a tblReg row and
// the matching tblLastReg row, at CClock::now()), now and then with an activity that is not
// allowed on the employee's day type today, and lets visitors arrive and leave. It works on a
// connection of its own, so it can write while the program reads; a step that fails (a busy or
// vanished database) changes nothing and the next tick tries again.
class CClockingSimulator : public QObject
{
    Q_OBJECT

public:
    explicit CClockingSimulator(const QString &databasePath, QObject *parent = nullptr);
    ~CClockingSimulator() override;

    void setInterval(int milliseconds);
    int interval() const { return m_timer.interval(); }
    // Chance that a clocking uses an activity forbidden on the employee's day type today.
    void setIllegalProbability(double probability) { m_illegalProbability = probability; }
    // Chance that a step also lets a visitor arrive or leave.
    void setGuestProbability(double probability) { m_guestProbability = probability; }
    void setSeed(quint32 seed) { m_random.seed(seed); }
    // How long a step waits for a lock held by another connection; applies from the next
    // connection.
    void setBusyTimeout(int milliseconds) { m_busyTimeout = milliseconds; }

    bool isRunning() const { return m_timer.isActive(); }
    QString lastError() const { return m_error; }

public slots:
    void start();
    void stop();
    // One clocking (and perhaps one visitor event) in one transaction; false when it failed.
    bool step();

signals:
    void clocked(const QString &employeeKey, const QString &activityKey, bool forbidden);

private:
    bool open();
    void close();
    bool addClocking(QSqlDatabase &db);
    bool moveGuests(QSqlDatabase &db);
    bool fail(const QString &text);

    QString m_path;
    QString m_connectionName;
    QTimer m_timer;
    QRandomGenerator m_random;
    // About one illegal clocking every four minutes at the default interval: a newcomer should
    // see the warning, not be flooded by it.
    double m_illegalProbability = 1.0 / 60;
    double m_guestProbability = 0.3;
    int m_busyTimeout = 2000;
    QString m_error;
};
