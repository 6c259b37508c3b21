#pragma once

#include "app/CDocument.h"
#include "views/CPresencesModel.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

class CDbWorker;
class CReferenceData;

// The presences window's document: never modified and never saved. It owns the rows of the
// grid, the activities the user may narrow the list to, and the current choice (entry 0 is
// every employee, entry i the activity i-1). Its refresh runs its own query on a thread and
// connection of its own, so it neither needs DBMutex nor waits on the network; the result is
// merged into the grid on the interface thread.
class C_ZorvikDocPresences : public CDocument
{
    Q_OBJECT
public:
    struct Activity
    {
        QString id;
        QString description;
    };

    explicit C_ZorvikDocPresences(QObject *parent = nullptr);
    ~C_ZorvikDocPresences() override;

    CPresencesModel *model() const { return m_model; }

    // Reads the activities from the ActivityCursor in its order; takes DBMutex.
    void loadActivities();
    const QList<Activity> &activities() const { return m_activities; }
    void setActivities(const QList<Activity> &activities) { m_activities = activities; }

    // Entry 0: every employee; entry i: the activity i-1. Out-of-range entries mean every employee.
    int selection() const { return m_selection; }
    void setSelection(int entry);

    // The statement of the current choice; employees: only their rows.
    QString queryText(const QStringList &employees = {}) const;
    static QString queryText(const QString *activityId, const QStringList &employees = {});

    // Starts the query; the grid follows its result when it arrives (queryFinished). A request
    // made while a query runs is run after it (a rebuild wins over a refresh). False when
    // there is no database.
    bool refresh();
    // The same, but the grid is emptied and filled in the query's order (newest registration
    // first). When the query fails the rows stay as they are.
    bool rebuild();
    // Waits (handling events) until no query runs; true when the last one succeeded.
    bool waitForQuery(int timeoutMs = 30000);
    bool isQueryRunning() const { return m_running != Work::None; }
    // Only the rows of the employees that changed are asked for again; everything (the
    // reference data read again) asks for every row.
    void onUpdatePass(const CCycleChanges &changes) override;
    using CDocument::onUpdatePass;
    // Puts the rows back in the query's order without asking the database (the timer's tick).
    void reorder();
    // The largest number of employees asked for by their rows; more make a whole refresh.
    static constexpr int kMaxPartial = 500;

    QString lastError() const { return m_lastError; }

    // The period of the rebuild timer for a refresh interval in seconds: a negative interval
    // counts as 60 seconds, 0 as often as the platform sensibly allows (10 ms).
    static int timerIntervalMs(int refreshSeconds);

signals:
    void queryFinished(bool ok);

private:
    enum class Work
    {
        None,
        Partial,
        Refresh,
        Rebuild
    };
    struct Result
    {
        bool ok = false;
        QList<CPresencesModel::Row> rows;
        QStringList employees;           // each row's employee
        CPresencesModel::MergePlan plan; // a refresh: what changes in the grid
        QString error;
    };
    static CReferenceData *reference();
    // Runs on the worker thread.
    static bool runQuery(CReferenceData *ref, const QString &query, QList<CPresencesModel::Row> &result,
                         QStringList &employees, QString &error);
    bool start(Work work);
    void finish(Result &result);
    // Which employee each media number shown belongs to, to know the rows of an employee.
    void noteEmployees(const Result &result, const QStringList &asked);
    QMultiHash<QString, QString> m_mediaOf; // employee -> the media numbers of its rows
    QSet<QString> m_partial;                // employees whose rows the next partial refresh asks for
    QStringList m_asked;                    // those the partial refresh in flight asks for

    CPresencesModel *m_model;
    QList<Activity> m_activities;
    int m_selection = 0;
    CDbWorker *m_worker = nullptr;
    Work m_running = Work::None;
    Work m_next = Work::None;
    bool m_lastOk = false;
    QString m_lastError;
};
