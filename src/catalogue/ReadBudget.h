#pragma once

#include <QtGlobal>

struct sqlite3;

// How much work the engine may do for one read. A table that is a view can run on for
// ever without giving a row (a recursive view whose rows are all filtered away), which
// no limit on rows or text catches. The engine calls back every thousand of its steps;
// past the budget the statement stops with SQLITE_INTERRUPT.
class ReadBudget
{
public:
    ReadBudget(sqlite3 *db, qint64 steps);
    ~ReadBudget();
    Q_DISABLE_COPY_MOVE(ReadBudget)

    bool spent() const { return m_left < 0; }

private:
    static int tick(void *self);

    sqlite3 *m_db;
    qint64 m_left;
};
