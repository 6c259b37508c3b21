#pragma once

#include "app/CChildCommands.h"
#include "rollcall/C_ZorvikDocRollCall.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class CD_ShareRollCall;
class CRollCallServer;
class C_ReportView;
class QLabel;
class QListView;
class QStringListModel;
class QTableView;
class CFilterBypass;
class CListFilterModel;
class CSearchField;
class CWrappedText;
class QTimer;
class QToolBar;

// The roll-call window's view: the counts and, while the data is stale, since when; a grid with
// a check box on every row; a toolbar to print (one click), export PDF or CSV and clear the
// ticks. A refresh keeps the ticks, the scroll position and the current row. Ticks that cannot
// be written are kept in memory, and a banner says so until a write succeeds (no dialog: a tick
// from a phone must be answered at once).
// The window also shares the roll call with the wardens' phones (only while it is open), and
// runs a drill or an evacuation: the time since the start and who is still missing are shown
// until End writes the record. Closing the window stops sharing and ends an open event.
class C_ZorvikViewRollCall : public QWidget, public CChildCommands
{
    Q_OBJECT
public:
    explicit C_ZorvikViewRollCall(C_ZorvikDocRollCall *doc, QWidget *parent = nullptr);
    ~C_ZorvikViewRollCall() override;

    C_ZorvikDocRollCall *document() const { return m_doc; }
    QTableView *grid() const { return m_grid; }
    QToolBar *toolBar() const { return m_toolBar; }
    CRollCallServer *server() const { return m_server; }
    CD_ShareRollCall *shareDialog() const;

    // A report view (not shown) holding the printed roll call; null when the template is missing
    // (the user has been told).
    C_ReportView *buildReport();

public slots:
    bool canPrint() const override { return true; }
    void print() override;
    void printPreview() override;
    void exportPdfAs() override;
    void exportCsv() override;
    void clearTicks() override;
    void share();
    void stopSharing();
    void startExercise() { startDrill(CRollCallDrill::Exercise); }
    void startEvacuation() { startDrill(CRollCallDrill::Evacuation); }
    void endDrill();
    bool confirmClose(bool quitting) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void startDrill(CRollCallDrill::Kind kind);
    void recordWritten(const QString &pdf, const QString &csv);
    void updateDrill();
    void updateMissing();
    void updateSharing();
    void windowClosing();
    void updateHeader();
    void updateSaveProblem();
    void rememberPosition();
    void restorePosition();

    QPointer<C_ZorvikDocRollCall> m_doc;
    QLabel *m_header;
    QLabel *m_stale;
    QLabel *m_saveProblem;
    CWrappedText *m_departments;
    QToolBar *m_toolBar;
    QTableView *m_grid;
    CListFilterModel *m_filter;
    CFilterBypass *m_bypass = nullptr;
    CSearchField *m_search = nullptr;
    QLabel *m_sharing;
    QLabel *m_drill;
    QWidget *m_missingPanel;
    QListView *m_missing;
    QStringListModel *m_missingModel;
    QStringList m_missingKeys;
    QTimer *m_missingRefresh;
    QTimer *m_second;
    CRollCallServer *m_server;
    QPointer<CD_ShareRollCall> m_shareDialog;
    QHash<QString, QAction *> m_actions;
    bool m_closing = false;
    bool m_closeConfirmed = false; // the user agreed to end what runs (asked once)
    int m_scroll = 0;
    QString m_currentKey;
};
