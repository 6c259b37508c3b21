#include "config/CColourPalettePopup.h"

#include "config/CColourPalette.h"
#include "dialogs/CPrompt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace {

// A one-pixel 3-D frame: raised with light top-left, sunken with dark top-left.
void drawFrame(QPainter &p, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

CColourPopupLayout CColourPalettePopup::makeLayout(const QFont &font, const QString &defaultText,
                                                   const QString &customText)
{
    const QFontMetrics fm(font);
    const QSize d = defaultText.isEmpty() ? QSize() : fm.size(Qt::TextSingleLine, defaultText);
    const QSize c = customText.isEmpty() ? QSize() : fm.size(Qt::TextSingleLine, customText);
    return CColourPopupLayout(kEdge, !defaultText.isEmpty(), d, !customText.isEmpty(), c);
}

CColourPalettePopup::CColourPalettePopup(const QPoint &topLeft, ColourValue initial, QWidget *owner,
                                         const QString &defaultText, const QString &customText, const QRect &screen)
    : QWidget(owner, Qt::Popup), m_initial(initial), m_colour(initial), m_defaultText(defaultText),
      m_customText(customText), m_layout(makeLayout(QApplication::font("QMessageBox"), defaultText, customText))
{
    setObjectName(QStringLiteral("colourPalettePopup"));
    setFont(QApplication::font("QMessageBox"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    // A click outside only closes the palette; it must not reach the window under it (it
    // would reopen the palette when it lands on the owner button).
    setAttribute(Qt::WA_NoMouseReplay);

    QRect area = screen;
    if (area.isEmpty()) {
        QScreen *s = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
        if (s)
            area = s->availableGeometry();
    }
    const int ownerHeight = owner ? owner->height() : 0;
    if (area.isEmpty())
        area = QRect(topLeft, m_layout.windowSize());
    m_layout.place(topLeft, area, ownerHeight);
    setGeometry(m_layout.windowRect());
    setFixedSize(m_layout.windowSize());

    m_chosen = CColourPalette::indexOf(initial);
}

bool CColourPalettePopup::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(e);
        for (int i = 0; i < CColourPalette::kCount; ++i) {
            const QRect cell = m_layout.cellRect(i);
            if (cell.contains(help->pos())) {
                QToolTip::showText(help->globalPos(), CColourPalette::name(i), this, cell);
                return true;
            }
        }
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    return QWidget::event(e);
}

void CColourPalettePopup::drawTextBox(QPainter &p, const QRect &box, const QString &text, bool withFrame,
                                      bool current) const
{
    const int m = m_layout.margin();
    const QPalette &pal = palette();
    p.fillRect(box.adjusted(1, 1, -1, -1), pal.color(QPalette::Button));
    if (withFrame) {
        p.setPen(pal.color(QPalette::Dark));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box.adjusted(1 + 2 * m, 1 + 2 * m, -2 - 2 * m, -2 - 2 * m));
    }
    if (current)
        drawFrame(p, box, pal.color(QPalette::Light), pal.color(QPalette::Dark));
    p.setPen(pal.color(QPalette::ButtonText));
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
}

void CColourPalettePopup::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    const int m = m_layout.margin();

    if (m_layout.hasDefaultBox())
        drawTextBox(p, m_layout.defaultBox(), m_defaultText, true, m_current == CColourPopupLayout::kDefaultBox);

    for (int i = 0; i < CColourPalette::kCount; ++i) {
        const QRect cell = m_layout.cellRect(i);
        const bool current = i == m_current;
        const bool chosen = i == m_chosen && !current;
        p.fillRect(cell, chosen ? pal.color(QPalette::Light) : pal.color(QPalette::Button));
        if (current)
            drawFrame(p, cell, pal.color(QPalette::Light), pal.color(QPalette::Dark));
        else if (chosen)
            drawFrame(p, cell, pal.color(QPalette::Dark), pal.color(QPalette::Light));
        const QRect swatch = cell.adjusted(m + 1, m + 1, -(m + 1), -(m + 1));
        p.fillRect(swatch, toQColor(CColourPalette::value(i)));
        p.setPen(pal.color(QPalette::Dark));
        p.setBrush(Qt::NoBrush);
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
    }

    if (m_layout.hasCustomBox()) {
        const QRect box = m_layout.customBox();
        const int y = box.top();
        const int x1 = box.left() + 2 * m;
        const int x2 = box.right() - 2 * m;
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(x1, y, x2, y);
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(x1, y + 1, x2, y + 1);
        drawTextBox(p, box.adjusted(0, 2 * m, 0, 0), m_customText, false, m_current == CColourPopupLayout::kCustomBox);
    }

    // Raised edge round the whole window.
    const QRect all = rect();
    drawFrame(p, all, pal.color(QPalette::Midlight), pal.color(QPalette::Shadow));
    drawFrame(p, all.adjusted(1, 1, -1, -1), pal.color(QPalette::Light), pal.color(QPalette::Dark));
}

void CColourPalettePopup::setCurrentCell(int cell)
{
    if (cell >= CColourPalette::kCount)
        cell = CColourPopupLayout::kCustomBox;
    if (cell == m_current)
        return;
    m_current = cell;
    update();

    if (cell >= 0)
        m_colour = CColourPalette::value(cell);
    else if (cell == CColourPopupLayout::kDefaultBox)
        m_colour = kColourAutomatic;
    emit selectionChanged(cell == CColourPopupLayout::kCustomBox ? m_initial : m_colour);
}

void CColourPalettePopup::mouseMoveEvent(QMouseEvent *e)
{
    const int hit = m_layout.hitTest(e->position().toPoint());
    if (hit != CColourPopupLayout::kNone && hit != m_current)
        setCurrentCell(hit);
}

void CColourPalettePopup::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    endSelection(rect().contains(e->position().toPoint()));
}

void CColourPalettePopup::keyPressEvent(QKeyEvent *e)
{
    using Move = CColourPopupLayout::Move;
    switch (e->key()) {
    case Qt::Key_Down:
        setCurrentCell(m_layout.navigate(m_current, Move::Down));
        break;
    case Qt::Key_Up:
        setCurrentCell(m_layout.navigate(m_current, Move::Up));
        break;
    case Qt::Key_Right:
        setCurrentCell(m_layout.navigate(m_current, Move::Right));
        break;
    case Qt::Key_Left:
        setCurrentCell(m_layout.navigate(m_current, Move::Left));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        endSelection(true);
        break;
    case Qt::Key_Escape:
        m_colour = m_initial;
        endSelection(false);
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
}

void CColourPalettePopup::endSelection(bool withColour)
{
    if (m_ended || m_dialogOpen)
        return;
    bool cancelled = !withColour;
    if (withColour && m_current == CColourPopupLayout::kCustomBox) {
        // The popup would keep the mouse and keyboard from the dialog, so it steps aside
        // while the dialog runs; the owner stays pressed until the selection ends.
        m_dialogOpen = true;
        hide();
        const QColor chosen = CPrompt::colour(parentWidget() ? parentWidget()->window() : nullptr, toQColor(m_initial));
        m_dialogOpen = false;
        if (chosen.isValid())
            m_colour = fromQColor(chosen);
        else
            cancelled = true;
    }
    m_ended = true;
    if (cancelled)
        emit selectionCancelled(m_initial);
    else
        emit selectionEnded(m_colour);
    close();
    deleteLater();
}

void CColourPalettePopup::closeEvent(QCloseEvent *e)
{
    // Closed from outside (a click elsewhere, the window going away): a cancel.
    if (!m_ended && !m_dialogOpen) {
        m_colour = m_initial;
        m_ended = true;
        emit selectionCancelled(m_initial);
        deleteLater();
    }
    QWidget::closeEvent(e);
}
