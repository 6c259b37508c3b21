#pragma once

#include "db/ReferenceMaps.h"

#include <QAbstractTableModel>
#include <QSet>
#include <vector>

// The rows of the Colours grid: colour, description, identifier and the "On site" mark of every
// activity that has a colour, in the colour map's order. Colours change through setColour and
// reach the colour map only through applyTo; the mark is the one check box a view may toggle.
class CColoursModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        ColourColumn = 0,
        DescriptionColumn = 1,
        IdColumn = 2,
        OnSiteColumn = 3,
        ColumnCount = 4
    };
    static constexpr int ColourRole = Qt::UserRole + 1;

    CColoursModel(const TextMap &activities, const ColourMap &colours, const QSet<QString> &onSite = {},
                  QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    QString id(int row) const;
    ColourValue colour(int row) const;
    void setColour(int row, ColourValue colour);
    // Writes every row's colour into the entries of the map that have the row's identifier.
    void applyTo(ColourMap &colours) const;
    // The marked identifiers, together with marked ones that have no row here (an activity
    // without a colour keeps its mark).
    QSet<QString> onSiteIds() const;

private:
    struct Row
    {
        QString id;
        QString description;
        ColourValue colour;
        bool onSite;
    };
    std::vector<Row> m_rows;
    QSet<QString> m_otherOnSite;
};
