#pragma once

#include "views/C_ZorvikDocRollCall.h"

#include <QPointer>
#include <QWidget>

class C_ReportView;
class QLabel;
class QTableView;
class QToolBar;

// The roll-call window's view: the counts and, while the data is stale, since when; a grid with
// a check box on every row; a toolbar to print (one click), export PDF or CSV and clear the
// ticks. A refresh keeps the ticks, the scroll position and the current row.
class C_ZorvikViewRollCall : public QWidget
{
    Q_OBJECT
public:
    explicit C_ZorvikViewRollCall(C_ZorvikDocRollCall *doc, QWidget *parent = nullptr);
    ~C_ZorvikViewRollCall() override;

    C_ZorvikDocRollCall *document() const { return m_doc; }
    QTableView *grid() const { return m_grid; }
    QLabel *headerLabel() const { return m_header; }
    QLabel *staleLabel() const { return m_stale; }
    QLabel *departmentsLabel() const { return m_departments; }
    QToolBar *toolBar() const { return m_toolBar; }

    // A report view (not shown) holding the printed roll call; null when the template is missing
    // (the user has been told).
    C_ReportView *buildReport();

public slots:
    bool canPrint() const { return true; }
    void print();
    void printPreview();
    void exportPdfAs();
    void exportCsv();
    void clearTicks();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateHeader();
    void rememberPosition();
    void restorePosition();

    QPointer<C_ZorvikDocRollCall> m_doc;
    QLabel *m_header;
    QLabel *m_stale;
    QLabel *m_departments;
    QToolBar *m_toolBar;
    QTableView *m_grid;
    int m_scroll = 0;
    QString m_currentKey;
};
