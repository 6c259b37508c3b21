#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

// The start-up picture: a borderless window the size of the picture, centred on the screen.
// It closes itself after two seconds, or at the first key or mouse button press anywhere in
// the program, which it swallows.
class CSplashWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kDisplayMs = 2000;

    explicit CSplashWindow(const QPixmap &picture, QWidget *parent = nullptr);
    ~CSplashWindow() override;

    // Shows the window and starts its timer.
    void showSplash();

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void hideSplash();

    QPixmap m_picture;
    QTimer m_timer;
    bool m_done = false;
};
