#include "db/CDbWorker.h"

#include "db/CDbConnection.h"

#include <QMetaObject>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace {
std::atomic<int> s_detached{0};
constexpr int kDestroyWaitMs = 200;
} // namespace

struct CDbWorker::State
{
    CDbConnection *connection = nullptr;
    QObject *owner = nullptr; // cleared under the lock before the owner goes
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;
    bool busy = false;
    bool stopping = false;
    bool finished = false;
    bool detached = false;
    QThread *qthread = nullptr; // the thread's own, for cancelling its statement
    std::thread thread;

    void loop()
    {
        CDbWorker::yieldToInterface();
        {
            std::lock_guard<std::mutex> guard(lock);
            qthread = QThread::currentThread();
        }
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock<std::mutex> guard(lock);
                changed.wait(guard, [&] { return stopping || !jobs.empty(); });
                if (jobs.empty())
                    break;
                job = std::move(jobs.front());
                jobs.pop_front();
                busy = true;
            }
            job();
            {
                std::lock_guard<std::mutex> guard(lock);
                busy = false;
            }
            changed.notify_all();
        }
        if (connection)
            connection->releaseThread();
        std::lock_guard<std::mutex> guard(lock);
        finished = true;
        if (detached)
            --s_detached;
        changed.notify_all();
    }
};

CDbWorker::CDbWorker(CDbConnection *connection, QObject *parent) : QObject(parent), m_state(std::make_shared<State>())
{
    m_state->connection = connection;
    m_state->owner = this;
    // The thread keeps the state alive for as long as it runs.
    m_state->thread = std::thread([state = m_state] { state->loop(); });
}

CDbWorker::~CDbWorker()
{
    {
        std::lock_guard<std::mutex> guard(m_state->lock);
        m_state->owner = nullptr;
    }
    stop(kDestroyWaitMs);
}

void CDbWorker::run(std::function<void()> job, std::function<void()> done)
{
    std::shared_ptr<State> state = m_state;
    auto task = [job = std::move(job), done = std::move(done), state] {
        job();
        // Posted under the lock, so the owner cannot go while the completion is handed over.
        std::lock_guard<std::mutex> guard(state->lock);
        if (done && state->owner)
            QMetaObject::invokeMethod(
                state->owner,
                [state, done] {
                    // A worker stopped meanwhile no longer delivers its completions.
                    if (state->owner)
                        done();
                },
                Qt::QueuedConnection);
    };
    {
        std::lock_guard<std::mutex> guard(m_state->lock);
        if (m_state->stopping)
            return;
        m_state->jobs.push_back(std::move(task));
    }
    m_state->changed.notify_all();
}

bool CDbWorker::isBusy() const
{
    std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->busy || !m_state->jobs.empty();
}

bool CDbWorker::stop(int timeoutMs)
{
    State &s = *m_state;
    std::unique_lock<std::mutex> guard(s.lock);
    if (!s.thread.joinable())
        return s.finished;
    s.stopping = true;
    s.owner = nullptr;
    s.jobs.clear();
    s.changed.notify_all();
    if (s.busy && s.connection && s.qthread) {
        // The job's statement fails at once where the driver can cancel it.
        guard.unlock();
        s.connection->cancelStatements(s.qthread);
        guard.lock();
    }
    const bool ended =
        s.changed.wait_for(guard, std::chrono::milliseconds(qMax(0, timeoutMs)), [&] { return s.finished; });
    if (ended) {
        guard.unlock();
        s.thread.join();
        return true;
    }
    s.detached = true;
    ++s_detached;
    guard.unlock();
    s.thread.detach();
    return false;
}

void CDbWorker::yieldToInterface()
{
    // Linux keeps a nice value per thread; failing to change it changes nothing else.
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, id_t(gettid()));
    if (errno == 0)
        setpriority(PRIO_PROCESS, id_t(gettid()), qMin(19, now + 5));
}

int CDbWorker::detachedThreads()
{
    return s_detached.load();
}
