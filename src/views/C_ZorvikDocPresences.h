#pragma once

#include "app/CDocument.h"
#include "views/CPresencesModel.h"

#include <QList>
#include <QString>

class CReferenceData;

// The presences window's document: never modified and never saved. It owns the rows of the
// grid, the activities the user may narrow the list to, and the current choice (entry 0 is
// every employee, entry i the activity i-1). Its refresh runs its own query on the interface
// thread's connection, so it does not need DBMutex.
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

    // The statement of the current choice.
    QString queryText() const;
    static QString queryText(const QString *activityId);

    // Follows the result of the query. False (rows untouched) when the query cannot be run.
    bool refresh();
    // Empties the grid, then fills it in the query's order (newest registration first). When
    // the query cannot be run the rows stay as they are.
    bool rebuild();
    void onUpdatePass() override;

    QString lastError() const { return m_lastError; }

    // The period of the rebuild timer for a refresh interval in seconds: a negative interval
    // counts as 60 seconds, 0 as often as the platform sensibly allows (10 ms).
    static int timerIntervalMs(int refreshSeconds);

private:
    static CReferenceData *reference();
    bool runQuery(QList<CPresencesModel::Row> &result);

    CPresencesModel *m_model;
    QList<Activity> m_activities;
    int m_selection = 0;
    // Set while the grid is rebuilt or refreshed, so that a refresh asked for meanwhile (from
    // an event handled during the work) does not run inside another.
    bool m_busy = false;
    QString m_lastError;
};
