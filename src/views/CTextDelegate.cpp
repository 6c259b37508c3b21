#include "views/CTextDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

CTextDelegate::CTextDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

int CTextDelegate::advance(const QString &text, const QFont &font) const
{
    if (font != m_font || m_laid.size() > kCapacity || m_widths.size() > kCapacity) {
        m_font = font;
        m_laid.clear();
        m_widths.clear();
        m_areas.clear();
    }
    auto w = m_widths.constFind(text);
    if (w == m_widths.cend())
        w = m_widths.insert(text, QFontMetrics(m_font).horizontalAdvance(text));
    return w.value();
}

QRect CTextDelegate::textArea(const QStyleOptionViewItem &option, const QStyle *style) const
{
    // The style measures the text to place it; in a cell of text alone the place depends on the
    // cell's size only, so it is asked once per size.
    const quint64 key = quint64(quint32(option.rect.width())) << 32 | quint64(quint32(option.rect.height())) << 1 |
                        (option.direction == Qt::RightToLeft ? 1 : 0);
    auto it = m_areas.constFind(key);
    if (it == m_areas.cend()) {
        if (m_areas.size() > kCapacity)
            m_areas.clear();
        it = m_areas.insert(key, style->subElementRect(QStyle::SE_ItemViewItemText, &option, option.widget)
                                     .translated(-option.rect.topLeft()));
    }
    return it.value().translated(option.rect.topLeft());
}

const CTextDelegate::Laid &CTextDelegate::laidOut(const QString &text, const QStyleOptionViewItem &option,
                                                  int width) const
{
    const int full = advance(text, option.font);
    const QFontMetrics fm(m_font);
    // Narrower than the text: cut as the style cuts it (rare in a list fitted to its texts).
    const QString shown = full > width ? fm.elidedText(text, option.textElideMode, width) : text;
    auto it = m_laid.constFind(shown);
    if (it == m_laid.cend()) {
        Laid laid;
        laid.text.setTextFormat(Qt::PlainText);
        laid.text.setText(shown);
        laid.text.prepare(QTransform(), m_font);
        laid.width = shown.size() == text.size() ? full : fm.horizontalAdvance(shown);
        it = m_laid.insert(shown, laid);
    }
    return it.value();
}

void CTextDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    constexpr auto kOthers = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration;
    if ((opt.features & kOthers) || (opt.state & QStyle::State_Editing) || opt.text.contains(u'\n') ||
        opt.text.contains(QChar::LineSeparator)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget *widget = opt.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = textArea(opt, style).adjusted(margin, 0, -margin, 0);
    // A text that would wrap is the style's to break into lines.
    if ((opt.features & QStyleOptionViewItem::WrapText) && advance(opt.text, opt.font) > area.width()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->setClipRect(opt.rect);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    const bool enabled = opt.state & QStyle::State_Enabled;
    QPalette::ColorGroup group = enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(opt.state & QStyle::State_Active))
        group = QPalette::Inactive;
    const bool selected = opt.state & QStyle::State_Selected;
    if (!opt.text.isEmpty()) {
        const Laid &laid = laidOut(opt.text, opt, area.width());
        const QRect place =
            QStyle::alignedRect(opt.direction, QStyle::visualAlignment(opt.direction, opt.displayAlignment),
                                QSize(laid.width, QFontMetrics(m_font).height()), area);
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(m_font);
        painter->drawStaticText(place.topLeft(), laid.text);
    }
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, widget);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = opt.palette.color(enabled ? QPalette::Normal : QPalette::Disabled,
                                                  selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}
