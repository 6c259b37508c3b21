#pragma once

#include <QPoint>

// The arithmetic of moving tablets and scrolling a panel, kept apart from the widgets.
// "Client" coordinates are the view's visible area; canvas = client + scroll position.
class CPanelGeometry
{
public:
    static constexpr int kGrid = 24;
    static constexpr int kCanvasSize = 24000;
    // A tablet: always this wide; this high collapsed (the name line) and expanded.
    static constexpr int kTabletWidth = 168;
    static constexpr int kCollapsedHeight = 24;
    static constexpr int kExpandedHeight = 96;

    // Down to the grid, truncating toward zero (as integer division does).
    static constexpr int toGrid(int v) { return v / kGrid * kGrid; }

    // New top-left corner, in client coordinates, of a tablet dragged with the cursor at
    // cursorClient and grabbed at grab (tablet coordinates): snapped to the grid, and never
    // left of or above the canvas edge for the grid-truncated scroll position.
    static QPoint dragTarget(const QPoint &cursorClient, const QPoint &grab, const QPoint &scroll)
    {
        int x = toGrid(cursorClient.x() - grab.x());
        int y = toGrid(cursorClient.y() - grab.y());
        const int sx = toGrid(scroll.x());
        const int sy = toGrid(scroll.y());
        if (x + sx < 0)
            x = -sx;
        if (y + sy < 0)
            y = -sy;
        return QPoint(x, y);
    }

    // A selected tablet follows a drag only to a place inside the visible area or right of and
    // below it: its new top-left corner, in client coordinates, is never negative.
    static bool followerFits(const QPoint &clientTopLeft) { return clientTopLeft.x() >= 0 && clientTopLeft.y() >= 0; }

    // A thumb dragged to pos scrolls to the grid line at or before it.
    static constexpr int thumbPosition(int pos) { return toGrid(pos); }
};
