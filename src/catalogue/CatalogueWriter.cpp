#include "CatalogueWriter.h"

#include <QFile>

#include <algorithm>

#include <sqlite3.h>

namespace CatalogueWriter {

QString write(const QString &databaseFile, const std::vector<CatalogueRecord> &records, int columns)
{
    const QString temporary = databaseFile + QStringLiteral(".new");
    QFile::remove(temporary);

    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(temporary).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return error;
    }

    sqlite3_stmt *insert = nullptr;
    auto fail = [&]() {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(insert);
        sqlite3_close(db);
        QFile::remove(temporary);
        return error;
    };

    columns = std::clamp(columns, CatalogueRecord::classicFieldCount, CatalogueRecord::fieldCount);
    const QByteArray schema = QByteArrayLiteral(
        // Stored as UTF-16, the program's own string form: opening then copies text
        // instead of decoding every Persian description.
        "PRAGMA encoding='UTF-16le';"
        "PRAGMA page_size=65536;"
        "PRAGMA journal_mode=OFF;"
        "BEGIN;"
        "CREATE TABLE API (FunctionName TEXT, Declaration TEXT, Library TEXT,"
        " WorkAreas TEXT, Description TEXT")
        + (columns > CatalogueRecord::Vba7Declaration ? ", Vba7Declaration TEXT" : "")
        + (columns > CatalogueRecord::FirstWindows ? ", FirstWindows TEXT, LastDllError TEXT, Obsolete TEXT" : "") + ");";
    if (sqlite3_exec(db, schema.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail();
    QByteArray insertText = "INSERT INTO API VALUES (?";
    for (int i = 1; i < columns; ++i)
        insertText += ", ?";
    insertText += ")";
    if (sqlite3_prepare_v2(db, insertText.constData(), -1, &insert, nullptr) != SQLITE_OK)
        return fail();
    for (const CatalogueRecord &record : records) {
        for (int i = 0; i < columns; ++i) {
            const QString &text = record[i];
            sqlite3_bind_text16(insert, i + 1, text.utf16(), static_cast<int>(text.size() * 2),
                                SQLITE_TRANSIENT);
        }
        if (sqlite3_step(insert) != SQLITE_DONE)
            return fail();
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    insert = nullptr;
    if (sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail();
    sqlite3_close(db);

    QFile::remove(databaseFile);
    if (!QFile::rename(temporary, databaseFile))
        return QStringLiteral("cannot replace ") + databaseFile;
    return QString();
}

} // namespace CatalogueWriter
