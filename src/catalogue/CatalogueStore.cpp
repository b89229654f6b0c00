#include "CatalogueStore.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

#include <sqlite3.h>

namespace CatalogueStore {

namespace {

OpenResult failure(qint64 number, const QString &description)
{
    OpenResult result;
    result.errorNumber = number;
    result.errorDescription = description;
    return result;
}

OpenResult engineFailure(sqlite3 *db, int code)
{
    const char *message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    return failure(code, QString::fromUtf8(message));
}

QString columnText(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_BLOB: {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(statement, column));
        return QString::fromUtf8(bytes, sqlite3_column_bytes(statement, column));
    }
    default: {
        // The engine hands UTF-16 over as stored, or converts a UTF-8 database's text.
        const auto *text = static_cast<const char16_t *>(sqlite3_column_text16(statement, column));
        return QString::fromUtf16(text, sqlite3_column_bytes16(statement, column) / 2);
    }
    }
}

struct Connection
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    ~Connection()
    {
        sqlite3_finalize(statement);
        sqlite3_close(db);
    }
};

} // namespace

QString databasePath(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("API.mdb"));
}

OpenResult open(const QString &databaseFile)
{
    // A missing file is told apart before the engine sees it: SQLite would otherwise
    // report its own "unable to open" and a read-only open never creates a file.
    if (!QFileInfo(databaseFile).isFile())
        return failure(missingFileError, QStringLiteral("Unspecified error"));

    Connection connection;
    // immutable=1: the file is only read, and no journal or lock file is made beside it.
    const QByteArray uri = "file:" + QUrl::fromLocalFile(databaseFile).toEncoded(QUrl::RemoveScheme)
        + "?mode=ro&immutable=1";
    int rc = sqlite3_open_v2(uri.constData(), &connection.db,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK)
        return engineFailure(connection.db, rc);

    // Reading through a memory map spares copying every page into the engine's cache.
    sqlite3_exec(connection.db, "PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);

    rc = sqlite3_prepare_v2(connection.db, "SELECT * FROM API", -1, &connection.statement, nullptr);
    if (rc != SQLITE_OK)
        return engineFailure(connection.db, rc);

    // An older catalogue lacks the sixth column, the VBA7 declarations: it reads as empty.
    const int columns = std::min(sqlite3_column_count(connection.statement), CatalogueRecord::fieldCount);
    if (columns < CatalogueRecord::classicFieldCount) {
        return failure(itemNotFoundError,
                       QStringLiteral("Item cannot be found in the collection corresponding to "
                                      "the requested name or ordinal."));
    }

    std::vector<CatalogueRecord> records;
    while ((rc = sqlite3_step(connection.statement)) == SQLITE_ROW) {
        CatalogueRecord record;
        for (int i = 0; i < columns; ++i)
            record[i] = columnText(connection.statement, i);
        records.push_back(std::move(record));
    }
    if (rc != SQLITE_DONE)
        return engineFailure(connection.db, rc);

    OpenResult result;
    result.recordset.emplace(std::move(records), columns == CatalogueRecord::fieldCount);
    return result;
}

} // namespace CatalogueStore
