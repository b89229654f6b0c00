#include "catalogue/CatalogueStore.h"
#include "platform/Texts.h"
#include "support/TestCatalogue.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <atomic>
#include <optional>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

void exec(const QString &file, const char *sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
    char *error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

QByteArray digest(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// A second program that writes the catalogue, its connection kept open.
struct Writer
{
    sqlite3 *db = nullptr;
    explicit Writer(const QString &file) { sqlite3_open(QFile::encodeName(file).constData(), &db); }
    ~Writer() { sqlite3_close(db); }
    int run(const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

QMap<QString, QByteArray> folderState(const QString &folder)
{
    QMap<QString, QByteArray> state;
    for (const QFileInfo &entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        state.insert(entry.fileName(), entry.fileName().endsWith(QLatin1String(".mdb")) ? digest(entry.filePath())
                                                                                       : QByteArray());
    return state;
}

} // namespace

class tst_CatalogueStore : public QObject
{
    Q_OBJECT

private slots:
    void missingFile_givesGenericFailureNumber()
    {
        QTemporaryDir dir;
        const auto result = CatalogueStore::open(CatalogueStore::databasePath(dir.path()));
        QVERIFY(!result.recordset);
        QCOMPARE(result.errorNumber, -2147467259LL);
        QVERIFY(!QFile::exists(CatalogueStore::databasePath(dir.path()))); // nothing was created
    }

    void directoryNamedLikeTheCatalogue_isMissing()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("API.mdb")));
        const auto result = CatalogueStore::open(CatalogueStore::databasePath(dir.path()));
        QCOMPARE(result.errorNumber, -2147467259LL);
    }

    void brokenFiles_giveEngineNumberAndDescription_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("number");
        QTest::addColumn<QString>("description");
        QTest::newRow("text file") << QByteArray("this is not a database at all, just some text that"
                                                 " goes on for long enough to fill a header.........")
                                   << qint64(SQLITE_NOTADB) << QStringLiteral("file is not a database");
        QTest::newRow("zero bytes") << QByteArray() << qint64(SQLITE_ERROR)
                                    << QStringLiteral("no such table: API");
    }

    void brokenFiles_giveEngineNumberAndDescription()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint64, number);
        QFETCH(QString, description);
        QTemporaryDir dir;
        const QString path = CatalogueStore::databasePath(dir.path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        const auto result = CatalogueStore::open(path);
        QVERIFY(!result.recordset);
        QCOMPARE(result.errorNumber, number);
        QCOMPARE(result.errorDescription, description);
    }

    void databaseWithoutTableApi_fails()
    {
        QTemporaryDir dir;
        const QString path = CatalogueStore::databasePath(dir.path());
        exec(path, "CREATE TABLE Other (a TEXT);");
        const auto result = CatalogueStore::open(path);
        QVERIFY(!result.recordset);
        QCOMPARE(result.errorNumber, qint64(SQLITE_ERROR));
        QCOMPARE(result.errorDescription, QStringLiteral("no such table: API"));
    }

    void tableWithFewerThanFiveColumns_fails()
    {
        QTemporaryDir dir;
        const QString path = CatalogueStore::databasePath(dir.path());
        exec(path, "CREATE TABLE API (a, b, c, d); INSERT INTO API VALUES ('x','y','z','w');");
        const auto result = CatalogueStore::open(path);
        QVERIFY(!result.recordset);
        QCOMPARE(result.errorNumber, qint64(3265));
        QVERIFY(!result.errorDescription.isEmpty());
    }

    // The sixth column holds the VBA7 declarations; an older table of five columns opens
    // as well, with that field empty and the recordset saying it has no such column.
    void vba7Column_readWhereTheTableHasIt_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<QString>("vba7");
        QTest::addColumn<bool>("hasColumn");
        QTest::newRow("six columns") << QByteArray("CREATE TABLE API (a, b, c, d, e, f); INSERT INTO API VALUES ('GetDC','d','l','w','x','v');")
                                     << "v" << true;
        QTest::newRow("five columns") << QByteArray("CREATE TABLE API (a, b, c, d, e); INSERT INTO API VALUES ('GetDC','d','l','w','x');")
                                      << "" << false;
        QTest::newRow("seven columns") << QByteArray("CREATE TABLE API (a, b, c, d, e, f, g); INSERT INTO API VALUES ('GetDC','d','l','w','x','v','z');")
                                       << "v" << true;
    }

    void vba7Column_readWhereTheTableHasIt()
    {
        QFETCH(QByteArray, sql);
        QFETCH(QString, vba7);
        QFETCH(bool, hasColumn);
        QTemporaryDir dir;
        const QString path = CatalogueStore::databasePath(dir.path());
        exec(path, sql.constData());
        auto result = CatalogueStore::open(path);
        QVERIFY(result.recordset);
        QCOMPARE(result.recordset->hasVba7Column(), hasColumn);
        QCOMPARE(result.recordset->at(1)[CatalogueRecord::Description], QStringLiteral("x"));
        QCOMPARE(result.recordset->at(1)[CatalogueRecord::Vba7Declaration], vba7);
    }

    void emptyTable_opensWithNoRecords()
    {
        QTemporaryDir dir;
        writeCatalogue(dir.path(), {});
        auto result = CatalogueStore::open(CatalogueStore::databasePath(dir.path()));
        QVERIFY(result.recordset);
        result.recordset->MoveFirst();
        QVERIFY(result.recordset->atEOF());
    }

    void fieldsOfOtherTypes_readAsText()
    {
        QTemporaryDir dir;
        const QString path = CatalogueStore::databasePath(dir.path());
        exec(path, "CREATE TABLE API (a, b, c, d, e, f);"
                   "INSERT INTO API VALUES ('Beep', NULL, 42, x'6b65726e656c', 1.5, 'extra');");
        auto result = CatalogueStore::open(path);
        QVERIFY(result.recordset);
        Recordset &rs = *result.recordset;
        rs.MoveFirst();
        QCOMPARE(*rs.field(0), QStringLiteral("Beep"));
        QCOMPARE(*rs.field(1), QString());
        QCOMPARE(*rs.field(2), QStringLiteral("42"));
        QCOMPARE(*rs.field(3), QStringLiteral("kernel"));
        QCOMPARE(*rs.field(4), QStringLiteral("1.5"));
    }

    void rowsKeepStoredOrderAndPersianText()
    {
        QTemporaryDir dir;
        const QString persian = QStringLiteral("توضيح");
        writeCatalogue(dir.path(), {record("Zeta", "d1", "l", "w", persian), record("Alpha"), record("Mid")});
        auto result = CatalogueStore::open(CatalogueStore::databasePath(dir.path()));
        QVERIFY(result.recordset);
        Recordset &rs = *result.recordset;
        QStringList names;
        for (rs.MoveFirst(); !rs.atEOF(); rs.MoveNext())
            names << *rs.field(0);
        QCOMPARE(names, QStringList({"Zeta", "Alpha", "Mid"}));
        rs.MoveFirst();
        QCOMPARE(*rs.field(4), persian);
    }

    void openingNeverChangesTheFile()
    {
        QTemporaryDir dir;
        writeCatalogue(dir.path(), {record("A", "x", "kernel32", "w", "d")});
        const QString path = CatalogueStore::databasePath(dir.path());
        const QByteArray before = digest(path);
        const QDateTime modified = QFileInfo(path).lastModified();
        {
            auto result = CatalogueStore::open(path);
            QVERIFY(result.recordset);
        }
        QCOMPARE(digest(path), before);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"API.mdb"}));
    }

    // Read with immutable=1, the catalogue showed a writer's uncommitted change, missed the
    // rows of its write-ahead log, said "no such table" for a table that lived there, and
    // "malformed" for a crashed writer's half-changed file. Records -1: refused, saying so.
    void immutableRead_ignoredLocksJournalAndLog_data()
    {
        QTest::addColumn<QByteArray>("writerSql");
        QTest::addColumn<bool>("writerCrashes");
        QTest::addColumn<int>("records");
        const QByteArray logged = "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;";
        const QByteArray spilled = "PRAGMA cache_size=1; BEGIN; UPDATE API SET Declaration = randomblob(300);";
        QTest::newRow("uncommitted change") << spilled << false << -1;
        QTest::newRow("crashed writer") << spilled << true << -1;
        QTest::newRow("rows in the log") << logged + "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n "
                                                    "WHERE x < 1000) INSERT INTO API SELECT x,x,x,x,x,x FROM n;"
                                         << false << 5000;
        QTest::newRow("table in the log") << logged + "DROP TABLE API; CREATE TABLE API (a,b,c,d,e);"
                                                      "INSERT INTO API VALUES (1,2,3,4,5);"
                                          << false << 1;
    }

    void immutableRead_ignoredLocksJournalAndLog()
    {
        QFETCH(QByteArray, writerSql);
        QFETCH(bool, writerCrashes);
        QFETCH(int, records);
        QTemporaryDir dir;
        writeCatalogue(dir.path(), std::vector<CatalogueRecord>(4000, record("A", QString(400, QLatin1Char('x')))));
        const QString path = CatalogueStore::databasePath(dir.path());
        std::optional<Writer> writer;
        if (writerCrashes) {
            const pid_t child = fork();
            if (child == 0) { // killed in the middle: its connection is never closed
                (new Writer(path))->run(writerSql.constData());
                _exit(0);
            }
            QVERIFY(child > 0);
            waitpid(child, nullptr, 0);
        } else {
            writer.emplace(path);
            QCOMPARE(writer->run(writerSql.constData()), SQLITE_OK);
        }
        const auto before = folderState(dir.path());

        auto result = CatalogueStore::open(path);
        if (records < 0) {
            QVERIFY(!result.recordset);
            QCOMPARE(result.errorDescription, Texts::catalogueNeedsWriter);
        } else {
            QVERIFY2(result.recordset, qPrintable(result.errorDescription));
            int count = 0;
            for (result.recordset->MoveFirst(); !result.recordset->atEOF(); result.recordset->MoveNext())
                ++count;
            QCOMPARE(count, records);
        }
        QCOMPARE(folderState(dir.path()), before);
    }

    // Read through a memory map, a catalogue cut short while it was read killed the
    // program with SIGBUS.
    void memoryMap_catalogueTruncatedWhileRead_killedWithSigbus()
    {
        QTemporaryDir dir;
        const QString path = CatalogueStore::databasePath(dir.path());
        writeCatalogue(dir.path(), std::vector<CatalogueRecord>(20000, record("A", QString(600, QLatin1Char('x')))));
        const QByteArray whole = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(CatalogueStore::open(path).recordset);
        const qint64 wholeReadUs = clock.nsecsElapsed() / 1000;
        // Cut at five moments spread over the time a whole read takes.
        for (int run = 1; run <= 5; ++run) {
            {
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(whole);
            }
            std::thread cutter([&] {
                usleep(static_cast<useconds_t>(wholeReadUs * run / 6));
                ::truncate(QFile::encodeName(path).constData(), 8192);
            });
            const auto result = CatalogueStore::open(path);
            cutter.join();
            QVERIFY(result.recordset || result.errorNumber != 0);
        }
    }

    // An endless table (a recursive view) grew memory until the program aborted.
    void endlessView_grewUntilAbort_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::newRow("many records") << QByteArray("x, '', '', '', ''");
        QTest::newRow("much text") << QByteArray("x, printf('%.*c', 100000, 'y'), '', '', ''");
    }

    void endlessView_grewUntilAbort()
    {
        QFETCH(QByteArray, row);
        QTemporaryDir dir;
        const QString path = CatalogueStore::databasePath(dir.path());
        const QByteArray sql = "CREATE VIEW API AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n) "
                               "SELECT " + row + " FROM n;";
        exec(path, sql.constData());
        const auto result = CatalogueStore::open(path);
        QVERIFY(!result.recordset);
        QCOMPARE(result.errorDescription, Texts::catalogueTooLarge);
    }

    void pathWithSpacesAndHash_opens()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("my programs #1 ?x"));
        QVERIFY(QDir().mkpath(folder));
        writeCatalogue(folder, {record("A")});
        const auto result = CatalogueStore::open(CatalogueStore::databasePath(folder));
        QVERIFY2(result.recordset, qPrintable(result.errorDescription));
    }
};

QTEST_APPLESS_MAIN(tst_CatalogueStore)
#include "tst_cataloguestore.moc"
