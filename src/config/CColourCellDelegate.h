#pragma once

#include <QStyledItemDelegate>

// Paints the colour column of the Colours grid as a C_ColorCell.
class CColourCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
