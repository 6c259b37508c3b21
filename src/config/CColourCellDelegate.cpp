#include "config/CColourCellDelegate.h"

#include "config/CColoursModel.h"
#include "config/C_ColorCell.h"

#include <QApplication>
#include <QPainter>

void CColourCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The cell's background and selection as for any cell, then the dot without text.
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(Qt::black, 1));
    C_ColorCell::draw(*painter, option.rect, index.data(CColoursModel::ColourRole).toUInt());
    painter->restore();
}
