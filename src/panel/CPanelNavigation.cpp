#include "panel/CPanelNavigation.h"

#include "panel/CPanelGeometry.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"

#include <algorithm>
#include <cstdlib>

QList<CTablet *> CPanelNavigation::readingOrder(const C_ZorvikDoc &doc)
{
    QList<CTablet *> order;
    order.reserve(doc.tabletCount());
    for (CTablet *t : doc.tablets())
        order << t;
    std::stable_sort(order.begin(), order.end(), [](const CTablet *a, const CTablet *b) {
        const QRect ga = a->geometry(), gb = b->geometry();
        if (std::abs(ga.top() - gb.top()) >= CPanelGeometry::kCollapsedHeight / 2)
            return ga.top() < gb.top();
        return ga.left() < gb.left();
    });
    return order;
}

CTablet *CPanelNavigation::step(const QList<CTablet *> &order, const CTablet *current, Step step)
{
    if (order.isEmpty())
        return nullptr;
    const qsizetype at = order.indexOf(current);
    if (at < 0 || step == First)
        return order.first();
    switch (step) {
    case Previous:
        return order.at(qMax<qsizetype>(0, at - 1));
    case Next:
        return order.at(qMin(order.size() - 1, at + 1));
    case Last:
        return order.last();
    case Up:
    case Down: {
        // The nearest tablet, by the middle of its width, among those of the next row that way.
        const QRect here = current->geometry();
        const int middle = here.center().x();
        CTablet *best = nullptr;
        int bestRowGap = 0, bestDistance = 0;
        for (CTablet *t : order) {
            const QRect g = t->geometry();
            const int rowGap = step == Down ? g.top() - here.top() : here.top() - g.top();
            if (rowGap < CPanelGeometry::kCollapsedHeight / 2)
                continue;
            const int distance = std::abs(g.center().x() - middle);
            if (!best || rowGap < bestRowGap - CPanelGeometry::kCollapsedHeight / 2 ||
                (std::abs(rowGap - bestRowGap) < CPanelGeometry::kCollapsedHeight / 2 && distance < bestDistance)) {
                best = t;
                bestRowGap = rowGap;
                bestDistance = distance;
            }
        }
        return best ? best : order.at(at);
    }
    case First:
        break;
    }
    return order.first();
}
