#pragma once

#include "rollcall/CRollCallModel.h"

#include <QAbstractTableModel>
#include <QDialog>

class CListFilterModel;
class QTableView;

// A list of people to look through: name, department and when they last clocked. The "Not yet
// in" list of the status bar, with the lists' search and sorting.
class CPeopleWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CPeopleWindow(const QString &title, QWidget *parent = nullptr);
    void setPeople(const QList<CRollCallModel::Person> &people);
    // The list as it changed since the one shown; people is the whole new list, shown instead
    // when the change does not fit.
    void changePeople(const CRollCallModel::Delta &delta, const QList<CRollCallModel::Person> &people);
    QTableView *grid() const { return m_grid; }

private:
    class Model;
    Model *m_model;
    CListFilterModel *m_filter;
    QTableView *m_grid;
};
