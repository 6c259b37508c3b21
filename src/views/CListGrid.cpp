#include "views/CListGrid.h"

#include "views/CListGridModel.h"
#include "views/CTextDelegate.h"

#include <QHeaderView>
#include <QStyle>

CListGrid::CListGrid(QAbstractItemModel *model, const QList<int> &columnWidths, QWidget *parent) : QTableView(parent)
{
    setModel(model);
    setItemDelegate(new CTextDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView *rowsHeader = verticalHeader();
    rowsHeader->hide();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(fontMetrics().height() + 6);

    QHeaderView *header = horizontalHeader();
    header->setDefaultAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    const int margin = textMargins();
    for (int c = 0; c < columnWidths.size(); ++c) {
        QStringList texts;
        if (model) {
            texts << model->headerData(c, Qt::Horizontal).toString()
                  << model->headerData(c, Qt::Horizontal, CListGridModel::WidestTextRole).toString();
        }
        header->resizeSection(c, fittedWidth(fontMetrics(), columnWidths.at(c), texts, margin));
    }
}

double CListGrid::fontScale(const QFontMetrics &fm)
{
    // The letters of 8-point MS Sans Serif at 96 dots per inch average 6 pixels, measured as
    // Windows measures its dialog base unit.
    constexpr double kDialogFontAverage = 6.0;
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const double average = fm.horizontalAdvance(letters) / double(letters.size());
    return qMax(1.0, average / kDialogFontAverage);
}

int CListGrid::fittedWidth(const QFontMetrics &fm, int designWidth, const QStringList &texts, int margin)
{
    int width = qRound(designWidth * fontScale(fm));
    for (const QString &t : texts)
        if (!t.isEmpty())
            width = qMax(width, fm.horizontalAdvance(t) + margin);
    return width;
}

int CListGrid::textMargins() const
{
    // The item view style keeps the focus frame's margin plus one pixel on each side of a text;
    // a header section also has room for its own margins.
    const int frame = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int headerMargin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    return 2 * qMax(frame, headerMargin);
}

CListGrid::~CListGrid() = default;
