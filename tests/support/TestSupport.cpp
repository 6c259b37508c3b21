#include "TestSupport.h"

#include "demo/CDemoDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QMap>
#include <QPair>
#include <QProcess>
#include <QThread>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

void holdKey(QObject *target, int key, int repeats)
{
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    auto send = [&](QEvent::Type type, bool repeat) {
        QKeyEvent e(type, key, Qt::NoModifier, text, repeat);
        QCoreApplication::sendEvent(target, &e);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < repeats; ++i) {
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    send(QEvent::KeyRelease, false);
}

QList<QStringList> readCsv(const QString &path, QChar delimiter)
{
    QProcess py;
    py.start(QStringLiteral("python3"),
             {QStringLiteral("-c"),
              QStringLiteral("import csv,json,sys\n"
                             "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                             "    print(json.dumps(list(csv.reader(f, delimiter=sys.argv[2]))))\n"),
              path, QString(delimiter)});
    EXPECT_TRUE(py.waitForFinished(20000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    QList<QStringList> out;
    for (const QJsonValue &row : QJsonDocument::fromJson(py.readAllStandardOutput()).array()) {
        QStringList cells;
        for (const QJsonValue &c : row.toArray())
            cells << c.toString();
        out << cells;
    }
    return out;
}

quint16 closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
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
