#include "CatalogueWriter.h"

#include <QFile>

#include <sqlite3.h>

namespace CatalogueWriter {

QString write(const QString &databaseFile, const std::vector<CatalogueRecord> &records)
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

    const char *schema =
        "PRAGMA journal_mode=OFF;"
        "BEGIN;"
        "CREATE TABLE API (FunctionName TEXT, Declaration TEXT, Library TEXT,"
        " WorkAreas TEXT, Description TEXT);";
    if (sqlite3_exec(db, schema, nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail();
    if (sqlite3_prepare_v2(db, "INSERT INTO API VALUES (?, ?, ?, ?, ?)", -1, &insert, nullptr)
        != SQLITE_OK)
        return fail();
    for (const CatalogueRecord &record : records) {
        for (int i = 0; i < CatalogueRecord::fieldCount; ++i) {
            const QByteArray utf8 = record[i].toUtf8();
            sqlite3_bind_text(insert, i + 1, utf8.constData(), static_cast<int>(utf8.size()),
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
