#pragma once

#include "db/ReferenceMaps.h"

#include <QAbstractTableModel>
#include <vector>

// The rows of the Colours grid: colour, description and identifier of every activity that
// has a colour, in the colour map's order. Read-only to views; colours change through
// setColour and reach the colour map only through applyTo.
class CColoursModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        ColourColumn = 0,
        DescriptionColumn = 1,
        IdColumn = 2,
        ColumnCount = 3
    };
    static constexpr int ColourRole = Qt::UserRole + 1;

    CColoursModel(const TextMap &activities, const ColourMap &colours, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QString id(int row) const;
    ColourValue colour(int row) const;
    void setColour(int row, ColourValue colour);
    // Writes every row's colour into the entries of the map that have the row's identifier.
    void applyTo(ColourMap &colours) const;

private:
    struct Row
    {
        QString id;
        QString description;
        ColourValue colour;
    };
    std::vector<Row> m_rows;
};
