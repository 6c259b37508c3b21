#include "views/CWrappedText.h"

#include <QEvent>
#include <QPainter>

namespace {
constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
}

CWrappedText::CWrappedText(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void CWrappedText::setText(const QString &text)
{
    if (text == m_text)
        return;
    const int before = heightForWidth(width());
    m_text = text;
    m_measuredWidth = -1;
    setAccessibleName(text);
    if (heightForWidth(width()) != before)
        updateGeometry();
    update();
}

int CWrappedText::heightForWidth(int width) const
{
    if (width != m_measuredWidth) {
        const QMargins m = contentsMargins();
        const int inner = qMax(1, width - m.left() - m.right());
        // Drawn as it is: a text from the database is never read as markup.
        const int lines =
            m_text.isEmpty() ? 0 : fontMetrics().boundingRect(QRect(0, 0, inner, 1 << 20), kFlags, m_text).height();
        m_measuredWidth = width;
        m_measuredHeight = lines + m.top() + m.bottom();
    }
    return m_measuredHeight;
}

QSize CWrappedText::sizeHint() const
{
    // As wide as the text on one line up to a sensible width; the layout gives the rest.
    const QMargins m = contentsMargins();
    const int width =
        qMin(fontMetrics().horizontalAdvance(m_text), fontMetrics().averageCharWidth() * 80) + m.left() + m.right();
    return {width, heightForWidth(width)};
}

QSize CWrappedText::minimumSizeHint() const
{
    const QMargins m = contentsMargins();
    return {m.left() + m.right(), m.top() + m.bottom()};
}

void CWrappedText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), kFlags, m_text);
}

void CWrappedText::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_measuredWidth = -1;
        updateGeometry();
    }
    QWidget::changeEvent(event);
}
