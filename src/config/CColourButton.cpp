#include "config/CColourButton.h"

#include "app/CStringTable.h"
#include "config/CColourPalettePopup.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {
constexpr int kEdge = CColourPalettePopup::kEdge;
}

CColourButton::CColourButton(QWidget *parent)
    : QPushButton(parent), m_defaultColour(palette().color(QPalette::Dark)), m_defaultText(S(1053)),
      m_customText(S(1054))
{
    setObjectName(QStringLiteral("colourButton"));
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &CColourButton::openPopup);
}

void CColourButton::setColour(ColourValue colour)
{
    m_colour = colour;
    update();
}

void CColourButton::setDefaultColour(const QColor &colour)
{
    m_defaultColour = colour;
    update();
}

QSize CColourButton::sizeHint() const
{
    return QSize(88, 26);
}

void CColourButton::openPopup()
{
    if (m_popupActive)
        return;
    m_popupActive = true;
    repaint();

    auto *popup = new CColourPalettePopup(mapToGlobal(QPoint(0, height())), m_colour, this, m_defaultText, m_customText,
                                          m_screenOverride);
    m_popup = popup;
    connect(popup, &CColourPalettePopup::selectionChanged, this, &CColourButton::onPopupChanged);
    connect(popup, &CColourPalettePopup::selectionEnded, this, &CColourButton::onPopupEnded);
    connect(popup, &CColourPalettePopup::selectionCancelled, this, &CColourButton::onPopupCancelled);
    popup->show();
    popup->setFocus(Qt::PopupFocusReason);
    emit popupOpened(m_colour);
}

void CColourButton::onPopupChanged(ColourValue colour)
{
    if (m_trackSelection)
        setColour(colour);
    emit selectionChanged(colour);
}

void CColourButton::onPopupEnded(ColourValue colour)
{
    const ColourValue before = m_colour;
    m_popupActive = false;
    m_popup = nullptr;
    setColour(colour);
    emit popupClosed(colour);
    emit selectionEnded(colour);
    if (colour != before)
        emit selectionChanged(colour);
}

void CColourButton::onPopupCancelled(ColourValue colour)
{
    m_popupActive = false;
    m_popup = nullptr;
    setColour(colour);
    emit popupClosed(colour);
    emit selectionCancelled(colour);
}

void CColourButton::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    const bool pushed = isDown() || m_popupActive;

    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    if (pushed) {
        option.state |= QStyle::State_Sunken;
        option.state &= ~QStyle::State_Raised;
    }
    p.drawControl(QStyle::CE_PushButtonBevel, option);

    QRect face = rect();
    if (pushed)
        face.translate(1, 1);

    if (hasFocus() || m_popupActive) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = face.adjusted(kEdge + 1, kEdge + 1, -(kEdge + 2), -(kEdge + 1));
        focus.backgroundColor = palette().color(QPalette::Button);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }

    face.adjust(kEdge, kEdge, -kEdge, -kEdge);
    // Leave room inside the style's bevel and focus frame.
    face.adjust(kEdge, kEdge, -kEdge, -kEdge);

    const bool enabled = isEnabled();

    // Downward arrow, 4 wide and 2 high, its right corner half an edge inside the face.
    const int arrowRight = face.right() - kEdge / 2;
    const int arrowLeft = arrowRight - 4;
    const int midY = face.center().y();
    const QColor arrowColour = enabled ? QColor(Qt::black) : palette().color(QPalette::Disabled, QPalette::WindowText);
    const QPoint arrow[3] = {QPoint(arrowLeft, midY - 1), QPoint(arrowRight, midY - 1),
                             QPoint((arrowLeft + arrowRight) / 2, midY + 1)};
    p.setPen(arrowColour);
    p.setBrush(arrowColour);
    p.drawPolygon(arrow, 3);

    // Etched separator half an edge left of the arrow.
    const int separatorX = arrowLeft - kEdge / 2 - 2;
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(separatorX, face.top(), separatorX, face.bottom());
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(separatorX + 1, face.top(), separatorX + 1, face.bottom());

    if (!enabled)
        return;
    const QRect swatch(face.left(), face.top(), separatorX - 2 * kEdge - 1 - face.left(), face.height());
    p.fillRect(swatch, m_colour == kColourAutomatic ? m_defaultColour : toQColor(m_colour));
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
}
