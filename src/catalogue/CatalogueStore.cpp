#include "CatalogueStore.h"

#include "ReadBudget.h"

#include "platform/Texts.h"

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

constexpr int busyWaitMs = 1500;

// A writer in the middle of a change, or a journal or write-ahead log that only a writer
// may resolve: a crashed writer's hot journal, a log whose index cannot be made.
bool needsWriter(int extendedCode)
{
    switch (extendedCode) {
    case SQLITE_READONLY_ROLLBACK:
    case SQLITE_READONLY_RECOVERY:
    case SQLITE_READONLY_CANTINIT:
    case SQLITE_READONLY_CANTLOCK:
    case SQLITE_READONLY_DIRECTORY:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_BUSY:
        return true;
    default:
        return false;
    }
}

OpenResult stepFailure(sqlite3 *db, int code)
{
    if (needsWriter(sqlite3_extended_errcode(db)))
        return failure(code, Texts::catalogueNeedsWriter);
    return engineFailure(db, code);
}

} // namespace

QString databasePath(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("API.mdb"));
}

OpenResult open(const QString &databaseFile, const Limits &limits)
{
    // A missing file is told apart before the engine sees it: SQLite would otherwise
    // report its own "unable to open" and a read-only open never creates a file.
    if (!QFileInfo(databaseFile).isFile())
        return failure(missingFileError, QStringLiteral("Unspecified error"));

    Connection connection;
    // Read-only, with the locks, journal and write-ahead log a writer keeps: what is read
    // is what was committed. No memory map: a file shortened under the reader then gives
    // a read error, never a signal, and every record is copied out anyway.
    const QByteArray uri = "file:" + QUrl::fromLocalFile(databaseFile).toEncoded(QUrl::RemoveScheme)
        + "?mode=ro";
    int rc = sqlite3_open_v2(uri.constData(), &connection.db,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK)
        return engineFailure(connection.db, rc);
    sqlite3_extended_result_codes(connection.db, 1);
    // A writer that is committing is waited for a moment; one that holds on is reported.
    sqlite3_busy_timeout(connection.db, busyWaitMs);
    sqlite3_exec(connection.db, "PRAGMA mmap_size=0", nullptr, nullptr, nullptr);
    // No single field may outgrow what the whole catalogue may hold.
    sqlite3_limit(connection.db, SQLITE_LIMIT_LENGTH,
                  static_cast<int>(std::min<qint64>(limits.characters * 2, 1000000000)));

    // One read transaction: every row comes from the same committed state.
    rc = sqlite3_exec(connection.db, "BEGIN", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(connection.db, "SELECT * FROM API", -1, &connection.statement, nullptr);
    if (rc != SQLITE_OK)
        return stepFailure(connection.db, rc & 0xff);

    // An older catalogue lacks the sixth column, the VBA7 declarations, or the three of
    // the metadata after it: they read as empty.
    const int columns = std::min(sqlite3_column_count(connection.statement), CatalogueRecord::fieldCount);
    if (columns < CatalogueRecord::classicFieldCount) {
        return failure(itemNotFoundError,
                       QStringLiteral("Item cannot be found in the collection corresponding to "
                                      "the requested name or ordinal."));
    }

    std::vector<CatalogueRecord> records;
    qint64 characters = 0;
    qint64 areas = 0;
    const ReadBudget budget(connection.db, limits.steps);
    while ((rc = sqlite3_step(connection.statement)) == SQLITE_ROW) {
        if (static_cast<qint64>(records.size()) >= limits.records)
            return failure(tooLargeError, Texts::catalogueTooLarge);
        CatalogueRecord record;
        for (int i = 0; i < columns; ++i) {
            record[i] = columnText(connection.statement, i);
            characters += record[i].size();
        }
        if (characters > limits.characters)
            return failure(tooLargeError, Texts::catalogueTooLarge);
        const QString &workAreas = record[CatalogueRecord::WorkAreas];
        const qint64 own = workAreas.isEmpty() ? 0 : workAreas.count(workAreaSeparator) + 1;
        if (own > limits.areasPerFunction)
            return failure(tooLargeError, Texts::catalogueLimit(Texts::tooManyAreasPerFunction.arg(limits.areasPerFunction)));
        if ((areas += own) > limits.areas)
            return failure(tooLargeError, Texts::catalogueLimit(Texts::tooManyAreas.arg(limits.areas)));
        records.push_back(std::move(record));
    }
    if (budget.spent()) {
        return failure(tooLargeError,
                       Texts::catalogueLimit(Texts::tableNeverEnds.arg(QStringLiteral("API")).arg(limits.steps)));
    }
    if (rc == SQLITE_TOOBIG)
        return failure(tooLargeError, Texts::catalogueTooLarge);
    if (rc != SQLITE_DONE)
        return stepFailure(connection.db, rc & 0xff);

    OpenResult result;
    result.recordset.emplace(std::move(records), columns >= CatalogueRecord::vba7FieldCount);
    return result;
}

} // namespace CatalogueStore
