#pragma once

#include "config/CColourPopupLayout.h"
#include "db/ReferenceMaps.h"

#include <QWidget>

// The palette window that CColourButton opens below itself: 40 named colours, an
// "Automatic" box above them and a "More colours..." box below them. It grabs the mouse and
// keyboard while open (a popup window), reports the outcome by its signals and deletes
// itself when the selection ends.
class CColourPalettePopup : public QWidget
{
    Q_OBJECT
public:
    // The width of a 3-D edge: the popup's inner border.
    static constexpr int kEdge = 2;

    // topLeft is in screen coordinates; screen is the area the window must stay in (the
    // owner's screen when empty). A box exists only when its text is not empty.
    CColourPalettePopup(const QPoint &topLeft, ColourValue initial, QWidget *owner, const QString &defaultText,
                        const QString &customText, const QRect &screen = {});

    ColourValue initialColour() const { return m_initial; }
    ColourValue colour() const { return m_colour; }
    int currentCell() const { return m_current; }
    int chosenCell() const { return m_chosen; }
    const CColourPopupLayout &layout() const { return m_layout; }
    bool dialogOpen() const { return m_dialogOpen; }
    QString defaultText() const { return m_defaultText; }
    QString customText() const { return m_customText; }

signals:
    // A new colour is under the cursor (the initial colour on the "More colours..." box).
    void selectionChanged(ColourValue colour);
    void selectionEnded(ColourValue colour);
    // Always with the initial colour.
    void selectionCancelled(ColourValue colour);

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    static CColourPopupLayout makeLayout(const QFont &font, const QString &defaultText, const QString &customText);
    void setCurrentCell(int cell);
    void endSelection(bool withColour);
    void drawTextBox(QPainter &p, const QRect &box, const QString &text, bool withFrame, bool current) const;

    ColourValue m_initial;
    ColourValue m_colour;
    QString m_defaultText;
    QString m_customText;
    CColourPopupLayout m_layout;
    int m_current = CColourPopupLayout::kNone;
    int m_chosen = CColourPopupLayout::kNone;
    bool m_dialogOpen = false;
    bool m_ended = false;
};
