#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

struct sqlite3;

// The attendance database keeps its names in the collation Serbian_Latin_100_CI_AS: compared
// without regard to case or to trailing blanks, accents kept, and ordered as Serbian Latin
// readers expect (C, Č, Ć, D, Dž, Đ ... S, Š ... Z, Ž). A SQLite copy of that database (the demo,
// and the SQL Server stand-in serving one) follows it through this class, so that a report sorted
// by name reads the same on both: on a connection it registers the collation and a like() that
// keeps it, and shadows every table and view holding a name column with a temporary view of the
// same name whose name columns carry the collation. "=", "in", "like", "order by", "group by",
// min and max on names then behave as on SQL Server, while keys, dates and numbers keep their
// own order and indexes (a key compared under another collation could not use its index).
class CSqliteCollation
{
public:
    static constexpr const char *Name = "Serbian_Latin_100_CI_AS";

    // Registers the collation and like() on db and makes the shadow views; false with the reason.
    static bool install(sqlite3 *db, QString *error = nullptr);
    // Below, equal to or above zero as the collation orders a and b.
    static int compare(QStringView a, QStringView b);
    // T-SQL's LIKE under the collation: "%", "_", "[abc]", "[a-c]", "[^a]" and an escape
    // character; trailing blanks of the text are ignored, those of the pattern are not.
    static bool like(QStringView pattern, QStringView text, QChar escape = QChar());
    // The columns that hold names and descriptions, by name in whichever table or view.
    static const QStringList &nameColumns();
};
