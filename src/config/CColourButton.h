#pragma once

#include "db/ReferenceMaps.h"

#include <QColor>
#include <QPointer>
#include <QPushButton>

#include "config/CColourPalettePopup.h"

// A push button that shows a colour swatch with a small arrow and, when clicked, opens the
// palette popup below itself. It reports the outcome by its signals.
class CColourButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CColourButton(QWidget *parent = nullptr);

    ColourValue colour() const { return m_colour; }
    void setColour(ColourValue colour);
    // What the swatch shows while the colour is "Automatic"; the workspace colour by default.
    QColor defaultColour() const { return m_defaultColour; }
    void setDefaultColour(const QColor &colour);
    QString defaultText() const { return m_defaultText; }
    void setDefaultText(const QString &text) { m_defaultText = text; }
    QString customText() const { return m_customText; }
    void setCustomText(const QString &text) { m_customText = text; }
    // When on, every colour the popup passes over becomes the button's colour at once.
    bool trackSelection() const { return m_trackSelection; }
    void setTrackSelection(bool on) { m_trackSelection = on; }

    bool popupActive() const { return m_popupActive; }
    // The open popup, or null.
    CColourPalettePopup *popup() const { return m_popup; }
    // The screen area the popup must stay in; empty means the button's screen.
    void setScreenGeometryOverride(const QRect &area) { m_screenOverride = area; }

    QSize sizeHint() const override;

signals:
    void selectionChanged(ColourValue colour);
    void popupOpened(ColourValue colour);
    void popupClosed(ColourValue colour);
    void selectionEnded(ColourValue colour);
    void selectionCancelled(ColourValue colour);

public slots:
    void openPopup();

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    void onPopupChanged(ColourValue colour);
    void onPopupEnded(ColourValue colour);
    void onPopupCancelled(ColourValue colour);

    ColourValue m_colour = kColourAutomatic;
    QColor m_defaultColour;
    QString m_defaultText;
    QString m_customText;
    bool m_popupActive = false;
    bool m_trackSelection = false;
    QPointer<CColourPalettePopup> m_popup;
    QRect m_screenOverride;
};
