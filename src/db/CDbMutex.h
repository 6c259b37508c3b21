#pragma once

#include <chrono>
#include <mutex>
#include <thread>

// DBMutex. A standard mutex underneath, so that ThreadSanitizer understands it; the interface
// is Qt's (QMutexLocker works with it).
class CDbMutex
{
public:
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    // Waits up to timeoutMs for the mutex. Polls with try_lock rather than a timed lock, which
    // the thread checker cannot follow.
    bool tryLock(int timeoutMs = 0)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (m_mutex.try_lock())
                return true;
            if (std::chrono::steady_clock::now() >= until)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

private:
    std::mutex m_mutex;
};
