#include "app/CClock.h"

#include <atomic>
#include <mutex>

namespace {
std::mutex g_lock;
QDateTime g_fixed;
std::atomic<bool> g_isFixed{false};
} // namespace

QDateTime CClock::now()
{
    if (g_isFixed.load()) {
        std::lock_guard<std::mutex> guard(g_lock);
        return g_fixed;
    }
    QDateTime t = QDateTime::currentDateTime();
    const QTime tm = t.time();
    t.setTime(QTime(tm.hour(), tm.minute(), tm.second()));
    return t;
}

void CClock::setFixed(const QDateTime &moment)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_fixed = moment;
    g_isFixed = true;
}

void CClock::reset()
{
    g_isFixed = false;
}

bool CClock::isFixed()
{
    return g_isFixed.load();
}
