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

struct OpenResult
{
    std::optional<Recordset> recordset; // set on success
    qint64 errorNumber = 0;             // otherwise: the failure's number
    QString errorDescription;           // and the engine's description of it
};

QString databasePath(const QString &programFolder);

// Reads table API of the database file: six columns, or the first five of an older one. Fields without a value read as the empty text;
// numbers and blobs read as their text. The record order is the table's stored order.
OpenResult open(const QString &databaseFile);

} // namespace CatalogueStore
