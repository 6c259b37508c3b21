#pragma once

#include "rollcall/CRollCallTicks.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <algorithm>
#include <functional>

class CReferenceData;

// Everyone on the premises now: each employee whose last clocking is today with an on-site
// activity, grouped by department and sorted by name, then each guest inside (no exit time).
// A check box on every row records who has been ticked off at the assembly point; ticks are
// kept by key, so a refresh keeps them for whoever is still listed.
class CRollCallModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        TickColumn,
        NameColumn,
        DepartmentColumn,
        TimeColumn,
        DetailColumn, // the activity of an employee, the host of a guest
        CompanyColumn,
        ColumnCount
    };
    struct Person
    {
        QString key; // "E<id>" for an employee, "G<name>|<entry>" for a guest
        QString name;
        QString department; // the guests' group for a guest
        QString time;
        QString detail;
        QString company;
        bool guest = false;
        bool operator==(const Person &) const = default;
    };

    // How a list changed: the keys whose rows went, then the rows that came, each at its place
    // in the new list (ascending). Applied in that order to the old list it gives the new one.
    struct Delta
    {
        QStringList removed;
        QList<int> removedAt; // where the rows of removed stood in the old list, ascending (if known)
        QList<QPair<int, Person>> inserted;
        bool isEmpty() const { return removed.isEmpty() && inserted.isEmpty(); }
    };
    // Applies a delta to a list shown by a model, telling the model of each row removed and
    // inserted (model: beginRemove(row), endRemove(), beginInsert(row), endInsert()). False, with
    // the list untouched, when the delta does not lead to a list of newSize rows.
    // With beginLayout(), removing(row), added(row) and endLayout(newRowOf), a delta of more
    // than kRowSignals rows is told as one change of layout instead.
    template <class Signals> static bool applyDelta(QList<Person> &list, const Delta &d, qsizetype newSize, Signals s);
    static constexpr int kRowSignals = 4;
    // Removes the rows at removedAt (ascending) and inserts the rows given at their places in the
    // new list (ascending), moving each row that stays at most twice: one row at a time would move
    // the whole tail of a long list each time.
    static void reshape(QList<Person> &list, const QList<int> &removedAt, const QList<QPair<int, Person>> &inserted);
    // The persistent indexes of a model after such a change, its rows' new places given by newRowOf.
    static QModelIndexList moved(const QAbstractItemModel *model, const QModelIndexList &before,
                                 const std::function<int(int)> &newRowOf);

    explicit CRollCallModel(QObject *parent = nullptr);

    // Reads the shared cursors; the caller holds DBMutex. Employees in department order, then
    // by name; guests last, by name.
    static QList<Person> collect(CReferenceData &ref, const QSet<QString> &onSite, const QDate &today);
    // Orders people as collect() does.
    static void sortPeople(QList<Person> &people);

    void setPeople(const QList<Person> &people);
    // The list as it changed; false (nothing done) when it does not fit the rows shown.
    bool changePeople(const Delta &delta, qsizetype newSize);
    const QList<Person> &people() const { return m_people; }

    const QSet<QString> &ticks() const { return m_ticks; }
    void setTicks(const QSet<QString> &ticks, const CRollCallTicks::Attributions &attributions = {});
    bool isTicked(int row) const;
    // Ticks or unticks one listed person, at the desk (no warden) or on a phone; false when the
    // tick already was so or the key is not listed.
    bool setTick(const QString &key, bool ticked, const QString &warden = QString());
    // Who ticked whom and when, for the ticks made or read since the list opened.
    const CRollCallTicks::Attributions &attributions() const { return m_attributions; }
    // -1 when the key is not listed.
    int rowOf(const QString &key) const;
    // Grow by one at every change of the list or of the ticks, so that a copy can tell it is
    // out of date.
    quint64 listVersion() const { return m_listVersion; }
    quint64 tickVersion() const { return m_tickVersion; }

    int employeeCount() const;
    int guestCount() const;
    int tickedCount() const;
    // Listed employees per department name (guests not included), in name order.
    QMap<QString, int> departmentCounts() const;
    // The same, one "Department: N" a line.
    QString departmentsText() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Toggles a row's tick (check-state role of the tick column) and sends ticksChanged().
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void ticksChanged();
    // One tick set or cleared by setTick() (the desk's check box included).
    void tickChanged(const QString &key, bool ticked, const QString &warden);

private:
    QList<Person> m_people;
    mutable QHash<QString, int> m_rows; // made again when first asked for after a change
    mutable bool m_rowsStale = false;
    mutable bool m_repeatedKeys = false; // a key on more than one row (an employee in two departments)
    // Listed employees per department, made when first asked for and then kept with the rows.
    mutable QMap<QString, int> m_departments;
    mutable bool m_departmentsStale = true;
    void countRow(int row, int by);
    QSet<QString> m_ticks;
    CRollCallTicks::Attributions m_attributions;
    quint64 m_listVersion = 0;
    quint64 m_tickVersion = 0;
};

// Rows move in memory as they are: a list of thousands changes in one row cheaply.
Q_DECLARE_TYPEINFO(CRollCallModel::Person, Q_RELOCATABLE_TYPE);

template <class Signals>
bool CRollCallModel::applyDelta(QList<Person> &list, const Delta &d, qsizetype newSize, Signals s)
{
    const QSet<QString> removed(d.removed.begin(), d.removed.end());
    QList<int> rows = d.removedAt;
    // The places given are taken when they hold those keys; otherwise the list is looked through.
    bool placed = !rows.isEmpty() || removed.isEmpty();
    for (qsizetype i = 0; i < rows.size() && placed; ++i)
        placed = rows.at(i) >= 0 && rows.at(i) < list.size() && (i == 0 || rows.at(i) > rows.at(i - 1)) &&
                 removed.contains(list.at(rows.at(i)).key);
    if (!placed) {
        rows.clear();
        for (int r = 0; r < list.size(); ++r)
            if (removed.contains(list.at(r).key))
                rows.append(r);
    }
    if (list.size() - rows.size() + d.inserted.size() != newSize)
        return false;
    for (qsizetype i = 0; i < d.inserted.size(); ++i)
        if (d.inserted.at(i).first < 0 || d.inserted.at(i).first > list.size() - rows.size() + i ||
            (i > 0 && d.inserted.at(i).first <= d.inserted.at(i - 1).first))
            return false;
    // Views over a long list go through all of it at each row signal: past a few rows, one change
    // of layout costs them less. Rows that stay keep their selection either way.
    if constexpr (requires { s.endLayout([](int) { return 0; }); }) {
        if (rows.size() + d.inserted.size() > kRowSignals) {
            s.beginLayout();
            for (int r : std::as_const(rows))
                s.removing(r);
            reshape(list, rows, d.inserted);
            for (const auto &inserted : d.inserted)
                s.added(inserted.first);
            // Where a row of the old list stands in the new one (-1: it went).
            s.endLayout([&rows, &d](int old) {
                const auto at = std::lower_bound(rows.cbegin(), rows.cend(), old);
                if (at != rows.cend() && *at == old)
                    return -1;
                int row = old - int(at - rows.cbegin());
                for (qsizetype i = 0; i < d.inserted.size() && d.inserted.at(i).first <= row; ++i)
                    ++row;
                return row;
            });
            return true;
        }
    }
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        s.beginRemove(rows.at(i));
        list.removeAt(rows.at(i));
        s.endRemove();
    }
    for (const auto &[row, person] : d.inserted) {
        s.beginInsert(row);
        list.insert(row, person);
        s.endInsert();
    }
    return true;
}
