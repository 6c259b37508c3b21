#include "views/CSplashWindow.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

CSplashWindow::CSplashWindow(const QPixmap &picture, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_picture(picture)
{
    setObjectName(QStringLiteral("splashWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.size());
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDisplayMs);
    connect(&m_timer, &QTimer::timeout, this, &CSplashWindow::hideSplash);
}

CSplashWindow::~CSplashWindow()
{
    qApp->removeEventFilter(this);
}

void CSplashWindow::showSplash()
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    qApp->installEventFilter(this);
    show();
    raise();
    m_timer.start();
}

void CSplashWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
}

namespace {
bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}
} // namespace

bool CSplashWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claimed, so that no shortcut takes the key: the key press that follows closes the
        // splash and is swallowed.
        event->accept();
        return true;
    case QEvent::KeyPress:
        // A modifier goes down first: the splash waits for the key it belongs to, so that a
        // whole combination such as Ctrl+N is swallowed, not only its Ctrl.
        if (isModifierKey(static_cast<QKeyEvent *>(event)->key()))
            return true;
        hideSplash();
        return true;
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::MouseButtonDblClick:
        hideSplash();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void CSplashWindow::hideSplash()
{
    if (m_done)
        return;
    m_done = true;
    m_timer.stop();
    qApp->removeEventFilter(this);
    emit closed();
    if (QWidget *w = parentWidget() ? parentWidget()->window() : nullptr)
        w->update();
    close();
}
