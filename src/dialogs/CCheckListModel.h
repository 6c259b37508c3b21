#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

// Rows of texts with a check box in the first column and a key per row (an employee or a
// department identifier): the two lists of the new-panel dialog.
class CCheckListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int KeyRole = Qt::UserRole + 1;

    explicit CCheckListModel(const QStringList &headers, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void clear();
    // Filling goes through these two so that views are reset once, not per row.
    void beginFill();
    // alsoFoundBy: texts a search finds the row by besides those shown (a department).
    void appendRow(const QStringList &texts, const QString &key, bool checked, const QStringList &alsoFoundBy = {});
    void endFill();

    QString key(int row) const { return m_rows.at(row).key; }
    QString text(int row, int column) const { return m_rows.at(row).texts.value(column); }
    bool isChecked(int row) const { return m_rows.at(row).checked; }
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);
    // The first row with this key, or -1.
    int rowOfKey(const QString &key) const;

private:
    struct Row
    {
        QStringList texts;
        QString key;
        bool checked = false;
        QString search; // folded, for the search field
    };
    QStringList m_headers;
    QList<Row> m_rows;
    bool m_filling = false;
};
