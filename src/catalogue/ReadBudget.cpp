#include "ReadBudget.h"

#include <sqlite3.h>

namespace {

constexpr int stride = 1000;

} // namespace

ReadBudget::ReadBudget(sqlite3 *db, qint64 steps)
    : m_db(db)
    , m_left(steps / stride)
{
    sqlite3_progress_handler(m_db, stride, &ReadBudget::tick, this);
}

ReadBudget::~ReadBudget()
{
    sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
}

int ReadBudget::tick(void *self)
{
    return --static_cast<ReadBudget *>(self)->m_left < 0 ? 1 : 0;
}
