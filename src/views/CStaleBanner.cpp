#include "views/CStaleBanner.h"

#include "app/CAppContext.h"
#include "live/CLiveStatus.h"
#include "live/CLiveUpdate.h"

CStaleBanner::CStaleBanner(QWidget *parent, CLiveStatus *status)
    : QLabel(parent), m_status(status ? status : programStatus())
{
    setObjectName(QStringLiteral("staleBanner"));
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    // Dark red on pale red: 7:1 and more, readable across a room, and not a colour of the tablets.
    setStyleSheet(QStringLiteral("QLabel#staleBanner { background: #fde7e9; color: #9b111e; font-weight: bold; "
                                 "border-bottom: 2px solid #9b111e; padding: 4px 8px; }"));
    setAccessibleName(text());
    hide();
    if (m_status)
        connect(m_status, &CLiveStatus::changed, this, &CStaleBanner::follow);
    follow();
}

CLiveStatus *CStaleBanner::programStatus()
{
    CAppContext *ctx = CAppContext::current();
    return ctx && ctx->live() ? ctx->live()->status() : nullptr;
}

void CStaleBanner::setScale(qreal factor)
{
    factor = qMax<qreal>(1.0, factor);
    if (qFuzzyCompare(factor, m_scale))
        return;
    m_scale = factor;
    QFont f = parentWidget() ? parentWidget()->font() : font();
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * factor);
    else
        f.setPixelSize(qRound(f.pixelSize() * factor));
    setFont(f);
}

void CStaleBanner::follow()
{
    const QString stale = m_status ? m_status->staleText() : QString();
    setText(stale);
    setAccessibleName(stale);
    const bool show = !stale.isEmpty();
    if (show == isVisibleTo(parentWidget()))
        return;
    setVisible(show);
    emit shownChanged(show);
}
