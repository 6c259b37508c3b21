#pragma once

#include "db/CCycleChanges.h"
#include "db/CDbConnection.h"
#include "db/CDbCursor.h"
#include "db/CDbMutex.h"
#include "db/ReferenceMaps.h"

#include <QString>
#include <array>
#include <atomic>
#include <memory>

// The connection, the nine shared cursors and the three maps that the whole program reads
// (employees, departments, activities, groups, last registrations, guests, illegal pairs and
// today's day types). The polling thread refreshes some cursors every cycle; everybody else
// holds DBMutex while using a shared cursor.
class CReferenceData
{
public:
    enum Cursor
    {
        EmployeeCursor,
        DepartmentCursor,
        ActivityCursor,
        ActivityGroupCursor,
        ActivityGroupMemberCursor,
        LastRegistrationCursor,
        GuestCursor,
        IllegalActivityCursor,
        CurrentDayCursor,
        CursorCount
    };

    CReferenceData();
    ~CReferenceData();

    // The fixed query of a cursor (the guests query is built from the string table).
    QString queryText(Cursor c) const;
    static QString buildGuestsQuery();

    // Opens the connection and the cursors in order. On failure returns false with the number
    // of the message to show (its placeholder takes the connection string) and sets
    // DatabaseError; a failing guests query only clears GuestsAvailable.
    bool open(const QString &connectionString, int *failureMessage);
    // Builds the department, activity and colour maps (every activity white); does nothing
    // while DatabaseError is set.
    void buildMaps();
    // Closes the cursor, binds a fresh one to the connection in its place and opens it with
    // its query.
    bool reopen(Cursor c);
    // Reads a cursor's query into a new cursor of the calling thread, without DBMutex (the
    // network is never crossed under it), indexed as the update pass looks it up. The caller
    // swaps it in under DBMutex when it opened; a failed read leaves the shared rows as they were.
    std::unique_ptr<CDbCursor> readFresh(Cursor c, qsizetype sizeHint = 0, std::shared_ptr<const CDbTable> like = {});
    // Binds a fresh, closed cursor.
    void rebind(Cursor c);
    void closeAll();

    CDbConnection &connection() { return m_connection; }
    CDbCursor *cursor(Cursor c) const { return m_cursors[c].get(); }
    QString connectionString() const { return m_connectionString; }
    QString guestsQuery() const { return m_guestsQuery; }

    TextMap departmentMap;
    TextMap activityMap;
    ColourMap activityColourMap;
    // Activity identifier -> its short name (made by the program from the descriptions).
    TextMap activityCodeMap;

    // DBMutex: held by the polling thread for a cycle, by the update pass for a pass, and by
    // every other user of the shared cursors around its use.
    CDbMutex dbMutex;
    std::atomic<bool> databaseError{false};
    std::atomic<bool> guestsAvailable{true};
    // A re-read of the employees failed: the shared rows are the last good ones, not today's.
    // The polling thread reads them again at its next cycle.
    std::atomic<bool> employeesStale{false};
    // What the cycles swapped in since the update pass last took it (under DBMutex).
    CCycleChanges pendingChanges = CCycleChanges::all();

private:
    CDbConnection m_connection;
    std::array<std::unique_ptr<CDbCursor>, CursorCount> m_cursors;
    QString m_connectionString;
    QString m_guestsQuery;
};
