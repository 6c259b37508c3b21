#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>
#include <QStyledItemDelegate>

// Draws a cell that holds one line of text the way the style's item delegate does (its
// background, selection, text colours, margins, alignment, elision and focus frame), from text
// laid out once and kept: a long list repainted at every update pass would otherwise shape each
// visible text again. Cells with a check box, an icon or more than one line are left to the style.
// The text is always plain: markup in a name is shown as it is.
class CTextDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit CTextDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Texts laid out and kept at most: about what a few screens of rows show.
    static constexpr int kCapacity = 4096;

private:
    struct Laid
    {
        QStaticText text;
        int width = 0; // its advance in the font
    };
    // Where the style puts the text of a cell of text alone.
    QRect textArea(const QStyleOptionViewItem &option, const QStyle *style) const;
    // A text's advance in the font (the texts kept are let go when the font changes).
    int advance(const QString &text, const QFont &font) const;
    // The text as drawn within width pixels: whole, or elided as the style would.
    const Laid &laidOut(const QString &text, const QStyleOptionViewItem &option, int width) const;

    mutable QFont m_font;
    mutable QHash<QString, int> m_widths; // advance of each text in m_font
    mutable QHash<QString, Laid> m_laid;
    mutable QHash<quint64, QRect> m_areas; // by cell size and direction  // by the text drawn (whole or elided)
};
