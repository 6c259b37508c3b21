#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Builds the SQLite attendance database that the demo mode and the tests run against. It holds
// every object the program reads (employees with photographs, departments, activities, groups,
// day types, forbidden pairs, registrations, media histories, guests) and the body of the
// stored procedure in zv_procedure, so that the program's SQL Server statements run on it once
// the SQLite dialect has rewritten them.
class CDemoDatabase
{
public:
    struct DemoOptions
    {
        quint32 seed = 1;
        int departments = 8;
        int employees = 150;
        // Days of registrations before now; 0 gives every employee a single recent clocking.
        int historyDays = 60;
        bool photographs = true;
        // Invalid: CClock::now().
        QDateTime now;
        // Make the stored procedure take the date of `now` as today instead of SQLite's local
        // date, so that a test sees a known day type.
        bool fixedToday = false;
    };

    // Day types of tblRadniDan.
    enum DayType
    {
        WorkingDay = 1,
        Saturday = 2,
        Sunday = 3,
        Holiday = 4
    };

    // Activities of LogickaAktivnost that the clocking simulator and the tests refer to.
    enum Activity
    {
        Arrival = 1,
        Departure = 2,
        BusinessTrip = 3,
        Break = 4,
        BreakReturn = 5,
        PrivateExit = 6,
        OfficialExit = 7,
        Doctor = 8,
        SickLeave = 9,
        Overtime = 10,
        WeekendDuty = 11,
        Training = 12,
        AnnualLeave = 13, // calendar activities from here on
        Maternity = 14,
        PublicHolidayLeave = 15,
    };

    // Creates the file at path, replacing an existing one. Deterministic: the same options give
    // the same table contents. Returns false with a message in *error on failure.
    static bool build(const QString &path, const DemoOptions &options, QString *error);

    // Options for a large database (benchmarks): 50,000 employees with last registrations, one
    // clocking each, no photographs.
    static DemoOptions largeOptions(int employees = 50000);

    // The demo database in the user's data folder.
    static QString defaultPath();
    // Builds the demo database at defaultPath() unless a usable one is there; *path receives it.
    static bool ensure(QString *path, QString *error);
    // The connection string of a SQLite database file (the demo's, or a test's).
    static QString connectionString(const QString &path);

    // The card number that tblReg stores for a media identifier (the 8 characters before the
    // last 2).
    static QString cardOf(const QString &idNo);

    // A generated photograph: initials on a coloured background, JPEG encoded with libjpeg.
    static QByteArray photograph(const QString &firstName, const QString &lastName, quint32 colourSeed);

    // The statements of the stored procedure's body, as zv_procedure keeps them.
    static QString procedureBody();
    // Runs the procedure body on an open SQLite connection.
    static bool runProcedure(const QString &connectionName, QString *error);

    // A visitor's name and a reason for a visit, for the clocking simulator's guests.
    static QString guestName(quint64 random);
    static QString visitReason(quint64 random);
    // Names the departments, activities, groups, day types, holidays and visit reasons of the
    // demo database at path in the interface language now in use; false with *error.
    static bool applyLanguage(const QString &path, QString *error);
    // Opens a SQLite connection under connectionName for path, waiting up to busyTimeoutMs for
    // a lock held by another connection.
    static bool openConnection(const QString &connectionName, const QString &path, QString *error,
                               int busyTimeoutMs = 5000);
};

using DemoOptions = CDemoDatabase::DemoOptions;
