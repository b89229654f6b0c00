#include "SqliteRows.h"

#include <QFile>

#include <sqlite3.h>

namespace SqliteRows {

void bind(sqlite3_stmt *statement, int column, const QString &text)
{
    sqlite3_bind_text16(statement, column, text.utf16(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
}

QString text(sqlite3_stmt *statement, int column)
{
    const auto *data = static_cast<const char16_t *>(sqlite3_column_text16(statement, column));
    return data ? QString::fromUtf16(data, sqlite3_column_bytes16(statement, column) / 2) : QString();
}

QString add(const QString &databaseFile, const char *schema, const std::vector<Insert> &inserts)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *insert = nullptr;
    auto fail = [&]() {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(insert);
        sqlite3_close(db);
        return error;
    };
    if (sqlite3_open_v2(QFile::encodeName(databaseFile).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return fail();
    if (sqlite3_exec(db, "PRAGMA journal_mode=OFF; BEGIN;", nullptr, nullptr, nullptr) != SQLITE_OK
        || sqlite3_exec(db, schema, nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail();
    for (const Insert &step : inserts) {
        if (sqlite3_prepare_v2(db, step.sql, -1, &insert, nullptr) != SQLITE_OK)
            return fail();
        for (size_t row = 0; row < step.rows; ++row) {
            step.bindRow(insert, row);
            if (sqlite3_step(insert) != SQLITE_DONE)
                return fail();
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        insert = nullptr;
    }
    if (sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail();
    sqlite3_close(db);
    return QString();
}

} // namespace SqliteRows
