#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QString>

// The legend of activity colours: each activity with its dot colour and how many employees
// have it as their last clocking today.
class CLegendModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Entry
    {
        QString activity;
        QColor colour;
        int count = 0;
        QString code; // the activity's short name
    };
    enum Column
    {
        CodeColumn, // the short name, beside the colour: an activity is never told by colour alone
        ActivityColumn,
        CountColumn,
        ColumnCount
    };
    using QAbstractTableModel::QAbstractTableModel;

    void setEntries(const QList<Entry> &entries);
    const QList<Entry> &entries() const { return m_entries; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<Entry> m_entries;
};
