#pragma once

#include <QtGlobal>

class Recordset;

// How the function-of-the-day window picks and walks the catalogue. It moves the one
// shared recordset's position and keeps nothing of its own.
namespace DayWalk {

// The 1-based record for a draw 0 <= r < 1: the integer part of r x count, plus 1, so
// every record of 1..count is equally likely. Kept within 1..count whatever r is; 0 when
// the catalogue is empty.
qint64 randomPosition(double r, qint64 count);

// A draw 0 <= r < 1 from a generator seeded from the clock at this moment.
double drawFromClock();

// Moves to the next record; past the last one, to the first. Empty: stays at the end.
void next(Recordset &recordset);
// Moves to the previous record; before the first one, to the last.
void previous(Recordset &recordset);

} // namespace DayWalk
