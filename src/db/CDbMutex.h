#pragma once

#include <chrono>
#include <mutex>

// DBMutex. A standard mutex underneath, so that ThreadSanitizer understands it; the interface
// is Qt's (QMutexLocker works with it).
class CDbMutex
{
public:
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool tryLock(int timeoutMs = 0)
    {
        return timeoutMs <= 0 ? m_mutex.try_lock() : m_mutex.try_lock_for(std::chrono::milliseconds(timeoutMs));
    }

private:
    std::timed_mutex m_mutex;
};
