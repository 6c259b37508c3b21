#include "db/CDbWorker.h"

#include "db/CDbConnection.h"

#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

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

    // Refuses further jobs, drops those waiting and cancels the one running where the driver
    // can; the thread then ends after its job.
    void beginStop()
    {
        std::unique_lock<std::mutex> guard(lock);
        stopping = true;
        owner = nullptr;
        jobs.clear();
        changed.notify_all();
        if (busy && connection && qthread && thread.joinable()) {
            guard.unlock();
            connection->cancelStatements(qthread);
        }
    }
    // Waits for the thread until the deadline; joins it, or leaves it to end by itself.
    bool finishStop(std::chrono::steady_clock::time_point deadline)
    {
        std::unique_lock<std::mutex> guard(lock);
        if (!thread.joinable())
            return finished;
        if (changed.wait_until(guard, deadline, [&] { return finished; })) {
            guard.unlock();
            thread.join();
            return true;
        }
        detached = true;
        ++s_detached;
        guard.unlock();
        thread.detach();
        return false;
    }

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

// Every worker of the process, so that the program's end can reach those owned by windows it
// has not closed yet; and the connections whose workers were stopped for good.
struct CDbWorker::Registry
{
    std::mutex lock;
    std::vector<std::weak_ptr<State>> workers;
    std::vector<quint64> retired; // connection serials

    static Registry &instance()
    {
        static Registry r;
        return r;
    }
    bool isRetired(const CDbConnection *connection)
    {
        return connection && std::find(retired.begin(), retired.end(), connection->serial()) != retired.end();
    }
    std::vector<std::shared_ptr<State>> of(const CDbConnection *connection)
    {
        std::vector<std::shared_ptr<State>> found;
        std::erase_if(workers, [](const std::weak_ptr<State> &w) { return w.expired(); });
        for (const std::weak_ptr<State> &w : workers)
            if (std::shared_ptr<State> state = w.lock(); state && state->connection == connection)
                found.push_back(std::move(state));
        return found;
    }
};

CDbWorker::CDbWorker(CDbConnection *connection, QObject *parent) : QObject(parent), m_state(std::make_shared<State>())
{
    m_state->connection = connection;
    m_state->owner = this;
    Registry &registry = Registry::instance();
    std::lock_guard<std::mutex> guard(registry.lock);
    if (registry.isRetired(connection)) {
        // The program is ending: a worker made now never starts a thread.
        m_state->stopping = true;
        m_state->finished = true;
        return;
    }
    registry.workers.push_back(m_state);
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
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(qMax(0, timeoutMs));
    m_state->beginStop();
    return m_state->finishStop(deadline);
}

bool CDbWorker::stopAll(const CDbConnection *connection, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(qMax(0, timeoutMs));
    std::vector<std::shared_ptr<State>> states;
    {
        Registry &registry = Registry::instance();
        std::lock_guard<std::mutex> guard(registry.lock);
        if (connection && !registry.isRetired(connection))
            registry.retired.push_back(connection->serial());
        states = registry.of(connection);
    }
    // Every statement is cancelled first, then the threads are waited for together.
    for (const std::shared_ptr<State> &s : states)
        s->beginStop();
    bool all = true;
    for (const std::shared_ptr<State> &s : states)
        all = s->finishStop(deadline) && all;
    return all;
}

int CDbWorker::busyThreads(const CDbConnection *connection)
{
    std::vector<std::shared_ptr<State>> states;
    {
        Registry &registry = Registry::instance();
        std::lock_guard<std::mutex> guard(registry.lock);
        states = registry.of(connection);
    }
    int running = 0;
    for (const std::shared_ptr<State> &s : states) {
        std::lock_guard<std::mutex> guard(s->lock);
        if (!s->finished && (s->busy || !s->jobs.empty()))
            ++running;
    }
    return running;
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
