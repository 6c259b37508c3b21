#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>

// What a list window shows of its model: the rows the search field finds (CTextMatch), in the
// order of the column the user clicked (dates as dates, numbers as numbers, names in the order of CNameOrder), kept
// as the rows change. Until a column is clicked the model's own order stands.
class CListFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit CListFilterModel(QObject *parent = nullptr);

    void setSearch(const QString &query);
    QString search() const { return m_query; }
    // The rows found, and all rows of the model.
    int foundCount() const { return rowCount(); }
    int totalCount() const { return sourceModel() ? sourceModel()->rowCount() : 0; }

signals:
    void countsChanged(int found, int total);
    // The search text changed (after the rows were found again).
    void searchChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    void announce();

    QString m_query;
    QStringList m_words;
};
