#pragma once

#include <QDateTime>

// The one clock of the program. Tests set it to a fixed moment (the stale rule, "today" and
// the log file names all read it).
class CClock
{
public:
    // Local date and time, to the second.
    static QDateTime now();
    static void setFixed(const QDateTime &moment);
    // Back to the system clock.
    static void reset();
    static bool isFixed();
};
