// Whatever the catalogue file holds, Vorn either starts with it or says in a message box
// why it cannot, and never crashes or shows a half-built window.
#include "app/mdlMain.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueTree.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"

#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using mdlMain::Program;

class tst_BadCatalogue : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;

    QString catalogue() const { return CatalogueStore::databasePath(m_dir.path()); }
    std::unique_ptr<Program> start(Program::Road expected)
    {
        auto program = std::make_unique<Program>(
            mdlMain::Environment{m_dir.path(), m_dir.filePath(QStringLiteral("lock")), &m_prompter});
        const Program::Road road = program->Main(QString());
        if (road != expected)
            qWarning("unexpected road");
        return road == expected ? std::move(program) : nullptr;
    }
    void writeBytes(const QByteArray &bytes)
    {
        QFile file(catalogue());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    void execSql(const char *sql)
    {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(catalogue()).constData(), &db), SQLITE_OK);
        const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QCOMPARE(rc, SQLITE_OK);
    }

private slots:
    void init()
    {
        m_prompter = ScriptedPrompter();
        QFile::remove(catalogue());
    }

    void unusableFiles_areReportedAndNoWindowIsShown_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QByteArray random(64 * 1024, Qt::Uninitialized);
        QRandomGenerator rng(7);
        for (char &c : random)
            c = static_cast<char>(rng.bounded(256));
        QTest::newRow("zero bytes") << QByteArray() << QStringLiteral("Runtime Error '1'\r\nno such table: API");
        QTest::newRow("random bytes") << random << QStringLiteral("Runtime Error '26'\r\nfile is not a database");
        QByteArray truncated("SQLite format 3");
        truncated.append('\0');
        truncated.append(QByteArray(100, '\x01'));
        QTest::newRow("damaged header") << truncated << QString();
    }

    void unusableFiles_areReportedAndNoWindowIsShown()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        writeBytes(bytes);
        auto program = start(Program::Road::Ended);
        QVERIFY(program);
        QCOMPARE(m_prompter.messages.size(), 1);
        QVERIFY(m_prompter.messages.first().text.startsWith(QStringLiteral("Runtime Error '")));
        if (!message.isEmpty())
            QCOMPARE(m_prompter.messages.first().text, message);
        QCOMPARE(program->mainWindow(), nullptr);
    }

    void tableWithoutEnoughColumns_isReported()
    {
        execSql("CREATE TABLE API (Name TEXT, Declaration TEXT);");
        auto program = start(Program::Road::Ended);
        QVERIFY(program);
        QCOMPARE(m_prompter.messages.first().text.left(22), QStringLiteral("Runtime Error '3265'\r\n"));
    }

    void databaseWithoutTableApi_isReported()
    {
        execSql("CREATE TABLE Other (a TEXT);");
        auto program = start(Program::Road::Ended);
        QVERIFY(program);
        QCOMPARE(m_prompter.messages.size(), 1);
        QCOMPARE(m_prompter.messages.first().text, QStringLiteral("Runtime Error '1'\r\nno such table: API"));
        QCOMPARE(program->mainWindow(), nullptr);
    }

    void oddFieldTypes_startAndShowAsText()
    {
        execSql("CREATE TABLE API (a, b, c, d, e);"
                "INSERT INTO API VALUES ('Beep', 12, NULL, x'e2', NULL);"
                "INSERT INTO API VALUES (42, 'decl', 'lib', 'w', 'd');"
                "INSERT INTO API VALUES (NULL, NULL, NULL, NULL, NULL);");
        auto program = start(Program::Road::MainWindow);
        QVERIFY(program);
        frmMain *main = program->mainWindow();
        QCOMPARE(main->FunctionCount(), 3);
        main->ShowFunction(QStringLiteral("42"));
        QCOMPARE(main->txtFunction->text(), QStringLiteral("decl"));
        main->ShowFunction(QStringLiteral("Beep"));
        QCOMPARE(main->txtFunction->text(), QStringLiteral("12"));
        QCOMPARE(main->txtComment->text(), QString());
    }

    void fortyThousandRows_countAllOfThem()
    {
        std::vector<CatalogueRecord> records;
        for (int i = 0; i < 40000; ++i)
            records.push_back(record(QStringLiteral("Fn%1").arg(i), QStringLiteral("d"), QStringLiteral("lib%1").arg(i % 7),
                                     QStringLiteral("w%1").arg(i % 11), QStringLiteral("x")));
        writeCatalogue(m_dir.path(), records);
        auto program = start(Program::Road::MainWindow);
        QVERIFY(program);
        QCOMPARE(program->mainWindow()->FunctionCount(), 40000);
        QCOMPARE(program->mainWindow()->statusPanels()->text(QStringLiteral("total")),
                 QStringLiteral("تعداد کل : 40000"));
    }

    void hugeFields_areShownWhole()
    {
        const QString longName(5000, QLatin1Char('N'));
        const QString bigDescription = QString(10 * 1024 * 1024 / 2, QChar(0x0628));
        writeCatalogue(m_dir.path(), {record(longName, "d", "l", "w", "x"), record("Big", "d", "l", "w", bigDescription)});
        auto program = start(Program::Road::MainWindow);
        QVERIFY(program);
        frmMain *main = program->mainWindow();
        QVERIFY(main->catalogueTree()->indexForKey(QStringLiteral("Lib_F_") + longName).isValid());
        main->ShowFunction(longName);
        QCOMPARE(main->lblFunctionName->text(), longName);
        main->ShowFunction(QStringLiteral("Big"));
        QCOMPARE(main->txtComment->text().size(), bigDescription.size());
        // Laid out: the first 100000 letters and an ellipsis.
        QCOMPARE(main->txtComment->toPlainText().size(), 100001);
        QCOMPARE(main->txtComment->toPlainText().back(), QChar(0x2026));
    }

    // A name of a million characters went whole into the status panel, whose layout froze
    // the window for a minute; the panel now shows its start, elided.
    void megabyteName_frozeTheWindowInTheStatusPanel()
    {
        const QString name(1024 * 1024, QLatin1Char('N'));
        writeCatalogue(m_dir.path(), {record(name, "d", "l", "w", "x")});
        auto program = start(Program::Road::MainWindow);
        QVERIFY(program);
        frmMain *main = program->mainWindow();
        main->ShowFunction(name);
        const QString shown = main->statusPanels()->text(QStringLiteral("name"));
        QVERIFY(shown.size() <= 200);
        QVERIFY(name.startsWith(shown.chopped(1)));
        QCOMPARE(shown.back(), QChar(0x2026));
        QCOMPARE(main->lblFunctionName->text(), name); // what save and copy take
    }

    // A name with a line break and fields with a lone surrogate half (text no editor
    // writes, but a damaged file can hold) are shown, and saved as a module whose lines
    // all end in CR LF, the name's break turned into "_" and "Private" made public.
    void brokenText_isShownAndSavedWithWholeLines()
    {
        const QString lone(QChar(0xDC00));
        writeCatalogue(m_dir.path(), {record(QStringLiteral("Get\nTick"),
                                             QStringLiteral("Private Declare Sub A Lib \"x\" ()") + lone,
                                             "l", "w", lone + QStringLiteral("one\ntwo"))});
        auto program = start(Program::Road::MainWindow);
        QVERIFY(program);
        frmMain *main = program->mainWindow();
        main->ShowFunction(QStringLiteral("Get\nTick"));
        QCOMPARE(main->txtComment->text(), lone + QStringLiteral("one\ntwo"));
        const QString target = m_dir.filePath(QStringLiteral("module.bas"));
        m_prompter.fileAnswers = {target};
        main->SaveModule(true);
        QVERIFY(m_prompter.messages.isEmpty());
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("Attribute VB_Name = \"Api_Get_Tick\"\r\n' Created by Vorn\r\n"
                                            "Public Declare Sub A Lib \"x\" ()?\r\n\r\n\r\n\r\n' ?one\r\n' two\r\n"));
    }
};

QTEST_MAIN(tst_BadCatalogue)
#include "tst_badcatalogue.moc"
