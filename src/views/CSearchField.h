#pragma once

#include <QWidget>

class CListFilterModel;
class QAbstractItemView;
class QLabel;
class QLineEdit;

// The search line above a list: rows are found as the user types (by any part of a name, card
// number or department, without regard to case or diacritics), with the count of rows found.
// Ctrl+F or "/" in the list's window jumps here; Escape empties it and goes back to the list.
class CSearchField : public QWidget
{
    Q_OBJECT
public:
    // scope: the widget whose keyboard shortcuts lead here (the list's window contents).
    CSearchField(CListFilterModel *filter, QAbstractItemView *list, QWidget *scope, QWidget *parent = nullptr);

    QLineEdit *edit() const { return m_edit; }
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCounts(int found, int total);

    CListFilterModel *m_filter;
    QAbstractItemView *m_list;
    QLineEdit *m_edit;
    QLabel *m_count;
};
