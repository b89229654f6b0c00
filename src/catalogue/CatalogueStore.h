#pragma once

#include "Recordset.h"

#include <QString>

#include <optional>

// Opens the catalogue database API.mdb of the program's folder and reads table API into
// the one snapshot recordset. The file is opened read-only and never written.
namespace CatalogueStore {

// The generic failure number that a missing database file gives.
inline constexpr qint64 missingFileError = -2147467259LL;
// Reading a field position the table does not have.
inline constexpr qint64 itemNotFoundError = 3265;
// More records or text than the program holds (SQLite's "too big").
inline constexpr qint64 tooLargeError = 18;

// What one catalogue may hold: far above the shipped one, low enough that a table that
// never ends (an endless view) is refused long before memory runs out.
struct Limits
{
    qint64 records = 500'000;
    qint64 characters = 64LL * 1024 * 1024; // of all fields together
    // What the text expands into in the tree: a node for each work area of a function.
    qint64 areasPerFunction = 64;
    qint64 areas = 2'000'000;
    // The engine's steps for the whole read: a table of the largest size takes a tenth.
    qint64 steps = 100'000'000;
};

struct OpenResult
{
    std::optional<Recordset> recordset; // set on success
    qint64 errorNumber = 0;             // otherwise: the failure's number
    QString errorDescription;           // and the engine's description of it
};

QString databasePath(const QString &programFolder);

// Reads table API of the database file (nine columns, or the first five or six of an older one),
// the whole table in one read transaction: rows a writer has not committed are not seen,
// rows in its write-ahead log are. Fields without a value read as the empty text; numbers
// and blobs read as their text. The record order is the table's stored order. A table
// beyond the limits (the message names the limit), and a journal or log that only a writer can resolve (a crashed
// writer's), fail with a message that says so.
OpenResult open(const QString &databaseFile, const Limits &limits = {});

} // namespace CatalogueStore
