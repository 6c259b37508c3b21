#pragma once

#include <QList>
#include <QStringList>
#include <QTableView>

class QAbstractItemModel;

// The read-only list grid of the guests and presences windows: one header row, columns of
// fixed starting widths (never sized to their contents, so tens of thousands of rows stay
// quick), rows of one height, whole rows selected.
class CListGrid : public QTableView
{
    Q_OBJECT
public:
    // columnWidths are in pixels of the Windows dialog font; each is scaled to the font in use
    // and widened to hold the column's header and its widest expected text.
    CListGrid(QAbstractItemModel *model, const QList<int> &columnWidths, QWidget *parent = nullptr);
    ~CListGrid() override;

    // How much wider than the Windows dialog font the font is (never less than 1).
    static double fontScale(const QFontMetrics &fm);
    // A design width scaled by fontScale and at least as wide as each text with its margins.
    static int fittedWidth(const QFontMetrics &fm, int designWidth, const QStringList &texts, int margin);
    // The space a cell keeps free on both sides of its text together.
    int textMargins() const;
};
