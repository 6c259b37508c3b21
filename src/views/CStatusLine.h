#pragma once

#include "live/CLiveStatus.h"

#include <QFrame>
#include <QPointer>

class QLabel;
class QTimer;

// What the hidden status bar carried, on one slim line under a full-screen window: the clock,
// the head count, the open warnings, whether the alarm can sound, and the connection state. Its
// text grows with the zoom of the panel shown, so that a wall display reads it from afar.
class CStatusLine : public QFrame
{
    Q_OBJECT
public:
    explicit CStatusLine(QWidget *parent = nullptr);

    void setLiveStatus(CLiveStatus *status);
    void setHeadCount(int onSite, int guests);
    void setOpenWarnings(int count);
    void setSoundProblem(const QString &text);
    void setConnected(bool connected);
    // Text size times factor (at least 1), as far as the line's width allows.
    void setScale(qreal factor);
    qreal scale() const { return m_scale; }
    // Never wider than the window it is in: the text gets smaller instead.
    QSize minimumSizeHint() const override;

    // The line's parts, for a reader (and a test): what each says now.
    QString clockText() const;
    QString headCountText() const;
    QString warningsText() const;
    QString connectionText() const;

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void refresh();
    void applyScale();
    void setFonts(qreal factor);

    QPointer<CLiveStatus> m_status;
    QLabel *m_clock;
    QLabel *m_headCount;
    QLabel *m_warnings;
    QLabel *m_sound;
    QLabel *m_connection;
    QTimer *m_tick;
    int m_onSite = -1;
    int m_guests = 0;
    int m_openWarnings = 0;
    bool m_connected = false;
    qreal m_scale = 1.0; // asked for; the text is smaller where the line would not fit
    QFont m_baseFont;
};
