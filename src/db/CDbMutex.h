#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

// DBMutex. Waiters are served in the order they arrived (a ticket queue under a condition
// variable), so a thread that releases it and asks again at once cannot take it back from a
// waiter: the interface thread waits at most for the hold in progress. Built on the standard
// mutex and condition variable, which ThreadSanitizer understands; the interface is Qt's
// (QMutexLocker works with it).
class CDbMutex
{
public:
    void lock()
    {
        std::unique_lock<std::mutex> guard(m_state);
        const std::uint64_t ticket = m_nextTicket++;
        m_queue.push_back(ticket);
        m_changed.wait(guard, [&] { return !m_held && m_queue.front() == ticket; });
        m_queue.pop_front();
        m_held = true;
    }
    void unlock()
    {
        {
            std::lock_guard<std::mutex> guard(m_state);
            m_held = false;
        }
        m_changed.notify_all();
    }
    // Waits up to timeoutMs, in turn with the other waiters; false when the turn did not come.
    bool tryLock(int timeoutMs = 0)
    {
        std::unique_lock<std::mutex> guard(m_state);
        if (timeoutMs <= 0) {
            if (m_held || !m_queue.empty())
                return false;
            m_held = true;
            return true;
        }
        const std::uint64_t ticket = m_nextTicket++;
        m_queue.push_back(ticket);
        const bool mine = m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                             [&] { return !m_held && m_queue.front() == ticket; });
        if (!mine) {
            // Leave the queue; the waiter behind may now be first.
            for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
                if (*it == ticket) {
                    m_queue.erase(it);
                    break;
                }
            }
            guard.unlock();
            m_changed.notify_all();
            return false;
        }
        m_queue.pop_front();
        m_held = true;
        return true;
    }

private:
    std::mutex m_state;
    std::condition_variable m_changed;
    std::deque<std::uint64_t> m_queue;
    std::uint64_t m_nextTicket = 0;
    bool m_held = false;
};
