#pragma once

#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace dialogtest {

// exec() blocks the test: the action runs on the next modal window of type T once it shows.
template <class T> void onModal(std::function<void(T *)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
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

using testsupport::closedPort;

} // namespace dialogtest
