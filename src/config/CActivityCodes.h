#pragma once

#include "db/ReferenceMaps.h"

// Short names of the activities, so that an activity is told by a word as well as by its colour
// (two greens for Arrival and Return from break): the initials of its description's words of
// three letters or more ("Return from break" RFB, "Sick leave" SL), the first three letters of a
// one-word description ("Arrival" ARR), made unique among the activities by taking more letters.
class CActivityCodes
{
public:
    // Activity identifier -> short name, for every activity of the map.
    static TextMap make(const TextMap &activities);
};
