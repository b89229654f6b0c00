// The code page of modules, twips, the login entry and the one-instance lock.
#include "platform/Autostart.h"
#include "platform/DialogFilter.h"
#include "platform/InstanceLock.h"
#include "platform/Twips.h"
#include "platform/Windows1256.h"
#include "support/FileSizeLimit.h"
#include "support/TempSettings.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <optional>

#include <sys/stat.h>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class tst_Platform : public QObject
{
    Q_OBJECT

private slots:
    // Characters and their byte in the code page, both ways; what the code page lacks is
    // one '?' a character in a module, and nothing from the strict encoder.
    void windows1256_data()
    {
        QTest::addColumn<QString>("text"); QTest::addColumn<QByteArray>("bytes"); QTest::addColumn<bool>("mapped");
        QTest::newRow("euro, the first upper byte") << QString(QChar(0x20AC)) << QByteArray("\x80") << true;
        QTest::newRow("keheh") << QString(QChar(0x06A9)) << QByteArray("\x98") << true;
        QTest::newRow("zero width non-joiner") << QString(QChar(0x200C)) << QByteArray("\x9D") << true;
        QTest::newRow("arabic yeh") << QString(QChar(0x064A)) << QByteArray("\xED") << true;
        QTest::newRow("farsi yeh") << QString(QChar(0x06CC)) << QByteArray("?") << false;
        QTest::newRow("beyond the basic plane") << QStringLiteral("a") + QString::fromUcs4(U"\U0001F600") + "b"
                                                << QByteArray("a?b") << false;
        QTest::newRow("lone high surrogate") << QStringLiteral("a") + QChar(0xD83D) + "b" << QByteArray("a?b") << false;
        QTest::newRow("high surrogate at the end") << QStringLiteral("a") + QChar(0xD83D) << QByteArray("a?") << false;
    }
    void windows1256()
    {
        QFETCH(QString, text); QFETCH(QByteArray, bytes); QFETCH(bool, mapped);
        QCOMPARE(Windows1256::encode(text), bytes);
        QCOMPARE(Windows1256::encodeStrict(text).has_value(), mapped);
        if (mapped)
            QCOMPARE(Windows1256::decode(bytes), text);
    }

    // Every byte decodes to a character that encodes back to it, as the platform's own
    // converter has it where there is one.
    void windows1256_everyByteRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        const QString text = Windows1256::decode(all);
        const std::optional<QByteArray> strict = Windows1256::encodeStrict(text);
        QVERIFY(text.size() == 256 && strict);
        QCOMPARE(*strict, all);
        if (QStringDecoder platform("windows-1256"); platform.isValid())
            QCOMPARE(text, platform.decode(all));
    }

    // Twips and pixels, each rounded to the nearest: stored sizes must not shrink by a
    // pixel at each start.
    void twips_data()
    {
        QTest::addColumn<int>("twips"); QTest::addColumn<double>("dpi"); QTest::addColumn<int>("pixels");
        QTest::addColumn<QString>("way"); // to pixels, from pixels or both
        const int most = std::numeric_limits<int>::max();
        const int least = std::numeric_limits<int>::min();
        QTest::newRow("a pixel at 96 dpi") << 15 << 96.0 << 1 << "both";
        QTest::newRow("an inch at 120 dpi") << 1440 << 120.0 << 120 << "both";
        QTest::newRow("negative") << -150 << 96.0 << -10 << "both";
        QTest::newRow("14 twips round up") << 14 << 96.0 << 1 << "to";
        QTest::newRow("-14 twips round away") << -14 << 96.0 << -1 << "to";
        QTest::newRow("7 twips round down") << 7 << 96.0 << 0 << "to";
        QTest::newRow("no dpi") << 0 << 0.0 << 100 << "from";
        // Millions of pixels times 1440 overflowed an int before the division.
        QTest::newRow("largest widget") << 251658225 << 96.0 << 16777215 << "both";
        QTest::newRow("past an int") << most << 96.0 << most << "from";
        QTest::newRow("past an int, negative") << least << 96.0 << least << "from";
    }
    void twips()
    {
        QFETCH(int, twips); QFETCH(double, dpi); QFETCH(int, pixels); QFETCH(QString, way);
        if (way != QLatin1String("from"))
            QCOMPARE(Twips::toPixels(twips, dpi), pixels);
        if (way != QLatin1String("to"))
            QCOMPARE(Twips::fromPixels(pixels, dpi), twips);
    }

    // The fault: the file dialogs' filters were English, and a description that names its
    // patterns got them a second time ("Module File(*.bas) (*.bas)").
    void fileDialogFilterDoubledAndEnglish_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("shown");
        QTest::newRow("module") << "Module File(*.bas)|*.bas|All Files(*.*)|*.*"
                                << QStringLiteral("فايل ماژول \u2066(*.bas);;همه فايل ها \u2066(*.*)");
        QTest::newRow("PDF") << "PDF (*.pdf)|*.pdf" << QStringLiteral("سند PDF \u2066(*.pdf)");
        QTest::newRow("patterns joined, unknown name kept") << "Images |*.png;*.jpg|odd" << QStringLiteral("Images \u2066(*.png *.jpg)");
    }
    void fileDialogFilterDoubledAndEnglish()
    {
        QFETCH(QString, filter); QFETCH(QString, shown);
        QCOMPARE(qtFileDialogFilter(filter), shown);
    }

    // One Exec argument: quoted where a launcher would split it or expand it, and '%'
    // doubled so that it is no field code; the program's path always quoted, and the
    // whole line escaped as a desktop entry value (a backslash takes four, a dollar two).
    void exec_data()
    {
        QTest::addColumn<QString>("program"); // empty: the argument alone
        QTest::addColumn<QString>("argument"); QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "" << "-d" << "-d";
        QTest::newRow("empty") << "" << "" << "\"\"";
        QTest::newRow("blank") << "" << "a b" << "\"a b\"";
        QTest::newRow("quote") << "" << "a\"b" << "\"a\\\"b\"";
        QTest::newRow("dollar") << "" << "$HOME" << "\"\\$HOME\"";
        QTest::newRow("backtick") << "" << "a`b" << "\"a\\`b\"";
        QTest::newRow("backslash") << "" << "a\\b" << "\"a\\\\b\"";
        QTest::newRow("percent") << "" << "50%" << "50%%";
        QTest::newRow("percent quoted") << "" << "5 %f" << "\"5 %%f\"";
        QTest::newRow("persian") << "" << "سلام" << "سلام";
        QTest::newRow("line: backslash, dollar") << "/tmp/a\\b/$x/vorn" << "-d" << "\"/tmp/a\\\\\\\\b/\\\\$x/vorn\" -d";
        QTest::newRow("line: line break") << "/tmp/two\nlines/vorn" << "-d" << "\"/tmp/two\\nlines/vorn\" -d";
        QTest::newRow("line: percent") << "/tmp/100%/vorn" << "-d" << "env \"/tmp/100%%/vorn\" -d";
    }
    void exec()
    {
        QFETCH(QString, program); QFETCH(QString, argument); QFETCH(QString, text);
        if (program.isEmpty())
            QCOMPARE(Autostart::execArgument(argument), text);
        else
            QVERIFY(Autostart::entryText(program).contains(QByteArray("\nExec=" + text.toUtf8() + "\n")));
    }

    // The entry as a desktop launcher really starts it, from a folder whose name a careless
    // Exec line would break. GLib looks the program up before it turns %% into %: a folder
    // with a '%' gave an entry it could not launch.
    void desktopLauncher_startsTheProgramWithTheSwitch()
    {
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (gio.isEmpty())
            QSKIP("no desktop launcher (gio) on this machine");
        TempSettings temp;
        const QString folder = temp.folder() + QStringLiteral("/My \"Programs\" $HOME `x` it's a\\b 100% برنامه");
        QVERIFY(QDir().mkpath(folder));
        const QString output = temp.folder() + QStringLiteral("/started.txt");
        const QString program = folder + QStringLiteral("/vorn");
        writeFile(program, "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + output.toUtf8() + "'\n");
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const Autostart autostart;
        QVERIFY(autostart.enable(program));
        QProcess launcher;
        launcher.start(gio, {QStringLiteral("launch"), autostart.entryFile()});
        QVERIFY(launcher.waitForFinished(20000));
        QCOMPARE(launcher.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(output).endsWith('\n'), 10000);
        QCOMPARE(fileBytes(output), QByteArray("1\n-d\n"));
    }

    // enable and disable over what the entry's place holds. A linked entry had its target
    // replaced, whatever it was; disabling with a dangling link left the link and said it
    // had succeeded; a full disk left an entry cut short while enable said it succeeded.
    void enableDisable_data()
    {
        QTest::addColumn<QString>("place");   // what stands at the entry's path
        QTest::addColumn<QByteArray>("before"); // the file there or the link's target
        QTest::addColumn<bool>("enabled"); QTest::addColumn<QByteArray>("after");
        const QByteArray users = "[Desktop Entry]\nExec=vorn -d --later\n";
        const QByteArray ours = Autostart::entryText(QStringLiteral("/old/vorn"));
        const QByteArray entry = Autostart::entryText(QStringLiteral("/new/vorn"));
        QTest::newRow("nothing") << "nothing" << QByteArray() << true << entry;
        QTest::newRow("an earlier entry") << "file" << ours << true << entry;
        QTest::newRow("link to the user's own entry") << "link" << users << false << users;
        QTest::newRow("link to an entry it wrote") << "link" << ours << true << entry;
        QTest::newRow("link to an empty file") << "link" << QByteArray("") << true << entry;
        QTest::newRow("dangling link") << "dangling" << QByteArray() << false << QByteArray("<none>");
        QTest::newRow("a file where the folder goes") << "blocked" << QByteArray() << false << QByteArray("<none>");
        QTest::newRow("a full disk") << "full" << ours << false << ours;
    }
    void enableDisable()
    {
        QFETCH(QString, place); QFETCH(QByteArray, before); QFETCH(bool, enabled); QFETCH(QByteArray, after);
        TempSettings temp;
        const QString entry = temp.autostartFile();
        const QString target = temp.folder() + QStringLiteral("/dotfiles-vorn.desktop");
        if (place != QLatin1String("blocked"))
            QDir().mkpath(QFileInfo(entry).absolutePath());
        writeFile(place == QLatin1String("blocked") ? QFileInfo(entry).absolutePath()
                  : place == QLatin1String("file") || place == QLatin1String("full") ? entry : target, before);
        if (place == QLatin1String("dangling"))
            QVERIFY(QFile::remove(target));
        if (place == QLatin1String("link") || place == QLatin1String("dangling"))
            QVERIFY(QFile::link(target, entry));
        const Autostart autostart;
        {
            std::optional<FileSizeLimit> limit;
            if (place == QLatin1String("full"))
                limit.emplace(before.size() - 20);
            QCOMPARE(autostart.enable(QStringLiteral("/new/vorn")), enabled);
        }
        QCOMPARE(fileBytes(place.contains(QLatin1String("link")) ? target : entry), after);
        QCOMPARE(autostart.starts(QStringLiteral("/new/vorn")), enabled);
        if (place != QLatin1String("blocked")) // no pieces left beside it
            QCOMPARE(QDir(QFileInfo(entry).absolutePath()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 1);
        // Disabling takes whatever stands there away, and says so only when it is gone.
        QVERIFY(autostart.disable());
        QVERIFY(!QFileInfo(entry).exists() && !QFileInfo(entry).isSymLink() && !autostart.isEnabled());
        QVERIFY(autostart.disable());
    }

    // A lock without a readable process id never went stale, so an empty or damaged
    // vorn.lock said "already running" at every start.
    void lockWithoutReadableOwner_blockedForGood_data()
    {
        QTest::addColumn<QByteArray>("content"); QTest::addColumn<bool>("ownerRunning");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("garbage") << QByteArray("\x01\xff\xfe not a lock\n") << false;
        QTest::newRow("owner gone") << QByteArray("2147483000\nvorn\nhost\n") << false;
        QTest::newRow("running owner") << QByteArray() << true;
        QTest::newRow("running owner, damaged file") << QByteArray("garbage") << true;
        // A named pipe hung the start: the owner was read out of it.
        QTest::newRow("a named pipe, hung") << QByteArray("fifo") << false;
        QTest::newRow("a link to a named pipe, hung") << QByteArray("link") << false;
        QTest::newRow("a folder, blocked for good") << QByteArray("folder") << false;
    }
    void lockWithoutReadableOwner_blockedForGood()
    {
        QFETCH(QByteArray, content); QFETCH(bool, ownerRunning);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vorn.lock"));
        std::optional<QLockFile> owner;
        if (ownerRunning)
            QVERIFY(owner.emplace(path).tryLock(0));
        const QByteArray fifo = QFile::encodeName(content == "link" ? dir.filePath("pipe") : path);
        if (content == "fifo" || content == "link")
            QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        if (content == "link")
            QVERIFY(QFile::link(dir.filePath("pipe"), path));
        else if (content == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (content != "fifo" && (!content.isEmpty() || !ownerRunning))
            writeFile(path, content);
        InstanceLock lock(path);
        QCOMPARE(lock.tryAcquire(), !ownerRunning);
        if (!ownerRunning) // and then it holds
            QVERIFY(!InstanceLock(path).tryAcquire());
    }

    // Without XDG_RUNTIME_DIR the lock lay in the shared temporary folder, where another
    // user could put a pipe or a folder first. Runtime folder: none, one others may write
    // into, the user's own; the lock then lies in the cache folder, or the runtime folder.
    void lockInTheSharedTemporaryFolder_planted_data()
    {
        QTest::addColumn<QString>("runtime"); QTest::addColumn<QString>("folder");
        QTest::newRow("none") << "" << "cache/Kel";
        QTest::newRow("writable by all") << "run" << "cache/Kel";
        QTest::newRow("the user's own") << "own" << "own";
    }
    void lockInTheSharedTemporaryFolder_planted()
    {
        QFETCH(QString, runtime); QFETCH(QString, folder);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(runtime.isEmpty() ? "x" : runtime);
        QFile::setPermissions(dir.filePath(runtime), runtime == "run" ? QFileDevice::Permissions(0x7777) : QFileDevice::Permissions(0x7700));
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_RUNTIME_DIR", runtime.isEmpty() ? QByteArray() : QFile::encodeName(dir.filePath(runtime)));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")));
        const QString path = InstanceLock::defaultPath();
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("XDG_CACHE_HOME", savedCache);
        QCOMPARE(path, dir.filePath(folder + "/vorn.lock"));
        QCOMPARE(QFile::permissions(dir.filePath(folder)) & 0x0077, QFileDevice::Permissions());
    }
};

QTEST_GUILESS_MAIN(tst_Platform)
#include "tst_platform.moc"
