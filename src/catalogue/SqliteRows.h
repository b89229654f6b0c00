#pragma once

#include <QString>

#include <functional>
#include <vector>

struct sqlite3_stmt;

// What the catalogue's tables beside table API share: text in and out of a statement as
// the program's UTF-16, and adding tables with their rows to an existing database file.
namespace SqliteRows {

void bind(sqlite3_stmt *statement, int column, const QString &text);
QString text(sqlite3_stmt *statement, int column);

// One INSERT statement run once a row; bindRow binds row i's values.
struct Insert
{
    const char *sql;
    size_t rows;
    std::function<void(sqlite3_stmt *, size_t)> bindRow;
};

// Opens the file, runs the schema (CREATE TABLE ...) and every insert in one transaction.
// Returns an empty text on success, else the engine's message.
QString add(const QString &databaseFile, const char *schema, const std::vector<Insert> &inserts);

} // namespace SqliteRows
