#pragma once

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>
#include <arpa/inet.h>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace dialogtest {

// exec() blocks the test: the action runs on the next modal window of type T once it shows.
template <class T> void onModal(std::function<void(T *)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}

// Pictures to look at, written only when ZORVIK_SHOTS names a folder.
inline void shoot(QWidget *w, const QString &name)
{
    const QString shots = qEnvironmentVariable("ZORVIK_SHOTS");
    if (shots.isEmpty())
        return;
    QDir().mkpath(shots);
    w->grab().save(shots + u'/' + name + QStringLiteral(".png"));
}

// A loopback port with nothing listening: a login there is refused at once.
inline quint16 closedPort()
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

} // namespace dialogtest
