#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>

class CDbConnection;

// A thread of its own for database work that must not hold up the interface thread (the
// start-up connect, the presences query). Jobs run one after another in the order given; each
// job's completion runs afterwards on the thread that owns this object, unless the object is
// gone by then. The thread has its own connection through the connection object, released
// when the thread ends.
class CDbWorker : public QObject
{
    Q_OBJECT
public:
    explicit CDbWorker(CDbConnection *connection, QObject *parent = nullptr);
    // Stops the thread, waiting a short moment for a job in flight; a job that cannot be
    // waited for (a hung server) finishes on its own, without its completion.
    ~CDbWorker() override;

    void run(std::function<void()> job, std::function<void()> done = {});
    // True while a job is queued or running.
    bool isBusy() const;
    // Asks the thread to end after its job and waits at most timeoutMs; false when a job is
    // still running (the thread then ends by itself when the job returns).
    bool stop(int timeoutMs);

    // Threads of stopped workers that were still inside a job; the connection object they use
    // must outlive them.
    static int detachedThreads();
    // Stops every worker that uses this connection, wherever it lives (a report, a list, a
    // panel's photographs), and refuses it new workers and jobs from then on: the program's end
    // must not free what a worker still uses. Waits at most timeoutMs in all; false when a job
    // is still running (its thread is then left to end by itself, and counted as detached).
    static bool stopAll(const CDbConnection *connection, int timeoutMs);
    // Workers of this connection inside a job or with jobs waiting (a thread left to end by
    // itself after a stop counts until its job returns).
    static int busyThreads(const CDbConnection *connection);
    // Gives the calling thread a lower share of the processor than the interface thread (a
    // higher nice value for this thread alone), so that work in the background never makes the
    // window wait for its turn on a busy machine.
    static void yieldToInterface();

private:
    struct State;
    struct Registry;
    std::shared_ptr<State> m_state;
};
