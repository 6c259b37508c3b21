#include "TestSupport.h"

#include "db/CDemoDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QPair>
#include <QThread>
#include <gtest/gtest.h>

namespace testsupport {

TempDir::TempDir()
{
    m_dir.setAutoRemove(true);
}

bool waitFor(const std::function<bool()> &pred, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

} // namespace testsupport

QString testsupport::smallDemoDatabase(int employees, int departments)
{
    static TempDir dir;
    static QMap<QPair<int, int>, QString> built;
    const QPair<int, int> key(employees, departments);
    if (!built.contains(key)) {
        CDemoDatabase::DemoOptions o;
        o.employees = employees;
        o.departments = departments;
        o.historyDays = 0;
        o.photographs = false;
        QString error;
        const QString p = dir.file(QStringLiteral("attendance-%1-%2.db").arg(employees).arg(departments));
        EXPECT_TRUE(CDemoDatabase::build(p, o, &error)) << error.toStdString();
        built.insert(key, p);
    }
    return built.value(key);
}
