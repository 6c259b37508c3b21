#include "app/CMemoryTrim.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

// Requests made close together give one trim, after the delay and not before it.
TEST(MemoryTrim, RequestsFoldIntoOneTrimAfterTheDelay)
{
#ifdef __GLIBC__
    const int before = CMemoryTrim::count();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 3; ++i)
        CMemoryTrim::afterLargeWork();
    while (clock.elapsed() < CMemoryTrim::kDelayMs + 3000 && CMemoryTrim::count() == before) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    // A timer of seconds may fire up to 5% early.
    EXPECT_GE(clock.elapsed(), CMemoryTrim::kDelayMs * 95 / 100);
    EXPECT_EQ(CMemoryTrim::count(), before + 1);
    // Nothing more comes of the requests already served.
    const qint64 until = clock.elapsed() + 500;
    while (clock.elapsed() < until)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(CMemoryTrim::count(), before + 1);
#else
    GTEST_SKIP() << "trimming is glibc's";
#endif
}
