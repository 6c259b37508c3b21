#pragma once

#include "live/CLiveStatus.h"

#include <QLabel>
#include <QPointer>

// The line across the top of a window with live data while those data are not current: "Not
// connected since 14:15; as of 14:14". Hidden while they are; follows the status by itself.
class CStaleBanner : public QLabel
{
    Q_OBJECT
public:
    // status: the judge to follow; none: the program's (the live update's of the current
    // application context), and without one the banner never shows.
    explicit CStaleBanner(QWidget *parent, CLiveStatus *status = nullptr);

    // The program's live status, null without an application context.
    static CLiveStatus *programStatus();
    CLiveStatus *status() const { return m_status; }
    // Text size times factor (a zoomed panel, a wall display); 1 is the window's own font.
    void setScale(qreal factor);

signals:
    // Shown or hidden (a window that keeps room for it lays itself out again).
    void shownChanged(bool shown);

private:
    void follow();

    QPointer<CLiveStatus> m_status;
    qreal m_scale = 1.0;
};
