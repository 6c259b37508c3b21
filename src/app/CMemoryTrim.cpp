#include "app/CMemoryTrim.h"

#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <utility>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
bool g_pending = false;
std::atomic<int> g_count{0};
std::atomic<bool> g_running{false};
} // namespace

void CMemoryTrim::configure()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, kMapBytes);
    mallopt(M_TRIM_THRESHOLD, kTrimBytes);
#endif
}

void CMemoryTrim::afterLargeWork()
{
#ifdef __GLIBC__
    if (std::exchange(g_pending, true))
        return;
    QTimer::singleShot(kDelayMs, [] {
        g_pending = false;
        // One at a time: a trim still running gives back what this one would.
        if (g_running.exchange(true))
            return;
        QThreadPool::globalInstance()->start([] {
            malloc_trim(0);
            ++g_count;
            g_running = false;
        });
    });
#endif
}

int CMemoryTrim::count()
{
    return g_count;
}
