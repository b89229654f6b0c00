#include "DayWalk.h"

#include "catalogue/Recordset.h"

#include <QRandomGenerator>

#include <chrono>
#include <cmath>

namespace DayWalk {

qint64 randomPosition(double r, qint64 count)
{
    if (count <= 0)
        return 0;
    const double scaled = std::floor(r * static_cast<double>(count));
    if (!(scaled >= 0)) // also catches NaN
        return 1;
    if (scaled >= static_cast<double>(count))
        return count;
    return static_cast<qint64>(scaled) + 1;
}

double drawFromClock()
{
    // Seeded anew on every call, from a clock fine enough that two clicks in a row differ.
    const auto ticks = static_cast<quint64>(std::chrono::system_clock::now().time_since_epoch().count());
    const quint32 seed[2] = {static_cast<quint32>(ticks), static_cast<quint32>(ticks >> 32)};
    QRandomGenerator generator(seed, seed + 2);
    return generator.generateDouble();
}

void next(Recordset &recordset)
{
    recordset.MoveNext();
    if (recordset.atEOF())
        recordset.MoveFirst();
}

void previous(Recordset &recordset)
{
    recordset.MovePrevious();
    if (recordset.atBOF())
        recordset.MoveLast();
}

} // namespace DayWalk
