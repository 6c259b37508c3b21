#pragma once

#include "panel/CPanelBackground.h"
#include "panel/C_PanelWnd.h"
#include "panel/C_ZorvikDoc.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QPointer>

class CTablet;
class C_PanelCanvas;

// The scrolling view of a panel: a 24000 by 24000 canvas with the grid or a background
// picture, the tablet windows on it, scrolling in grid steps, and the panel commands.
class C_ZorvikView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit C_ZorvikView(C_ZorvikDoc *doc, QWidget *parent = nullptr);

    C_ZorvikDoc *document() const { return m_doc; }
    QWidget *canvas() const;
    const CPanelBackground &background() const { return m_background; }

    QPoint scrollPosition() const;
    void setScrollPosition(const QPoint &pos);

    C_PanelWnd *tabletWindow(const CTablet *t) const { return m_windows.value(t); }
    int tabletWindowCount() const { return int(m_windows.size()); }

    // Print is offered only for a panel with tablets.
    bool canPrint() const;

    QSize sizeHint() const override { return QSize(720, 480); }

public slots:
    void expandAll();
    void collapseAll();
    void arrangeHorizontally();
    void arrangeVertically();
    void find();
    void removeAll();

signals:
    // Double-click on the empty canvas: the user wants to choose the panel's employees.
    void employeesRequested();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    void addWindow(CTablet *t);
    void removeWindow(CTablet *t);
    void reloadBackground();
    void updateScrollBars();

    QPointer<C_ZorvikDoc> m_doc; // the document normally outlives its views
    C_PanelCanvas *m_canvas;
    CPanelBackground m_background;
    QHash<const CTablet *, QPointer<C_PanelWnd>> m_windows;
    int m_wheelRemainder = 0;
};
