#pragma once

#include <QtGlobal>

#include <sqlite3.h>

// How much work the engine may do for one read. A table that is a view can run on for
// ever without giving a row (a recursive view whose rows are all filtered away), which
// no limit on rows or text catches. The engine calls back every thousand of its steps;
// past the budget the statement stops with SQLITE_INTERRUPT.
class ReadBudget
{
public:
    ReadBudget(sqlite3 *db, qint64 steps)
        : m_db(db)
        , m_left(steps / stride)
    {
        sqlite3_progress_handler(m_db, stride, &ReadBudget::tick, this);
    }
    ~ReadBudget() { sqlite3_progress_handler(m_db, 0, nullptr, nullptr); }
    Q_DISABLE_COPY_MOVE(ReadBudget)

    bool spent() const { return m_left < 0; }

private:
    static constexpr int stride = 1000;
    static int tick(void *self) { return --static_cast<ReadBudget *>(self)->m_left < 0 ? 1 : 0; }

    sqlite3 *m_db;
    qint64 m_left;
};
