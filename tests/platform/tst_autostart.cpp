#include "platform/Autostart.h"
#include "support/FileSizeLimit.h"
#include "support/TempSettings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

// How a desktop launcher reads an Exec value: first the value's own escapes, then the
// quoting into arguments, then the field code %% into %.
QStringList launcherArguments(const QString &value)
{
    QString command;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar ch = value.at(i);
        if (ch != QLatin1Char('\\') || i + 1 == value.size()) {
            command += ch;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's': command += QLatin1Char(' '); break;
        case 'n': command += QLatin1Char('\n'); break;
        case 't': command += QLatin1Char('\t'); break;
        case 'r': command += QLatin1Char('\r'); break;
        case '\\': command += QLatin1Char('\\'); break;
        default: command += QLatin1Char('\\'); command += next;
        }
    }

    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar ch = command.at(i);
        if (quoted) {
            if (ch == QLatin1Char('\\') && i + 1 < command.size()
                && QStringLiteral("\"`$\\").contains(command.at(i + 1))) {
                current += command.at(++i);
            } else if (ch == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += ch;
            }
        } else if (ch == QLatin1Char('"')) {
            quoted = true;
            inArgument = true;
        } else if (ch == QLatin1Char(' ')) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else {
            current += ch;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    for (QString &argument : arguments)
        argument.replace(QLatin1String("%%"), QLatin1String("%"));
    return arguments;
}

QString execValue(const QByteArray &entry)
{
    const QList<QByteArray> lines = entry.split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5));
    }
    return QString();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_Autostart : public QObject
{
    Q_OBJECT

private slots:
    void defaultEntry_isInTheAutostartFolder()
    {
        TempSettings temp;
        QCOMPARE(Autostart::defaultEntryFile(), temp.autostartFile());
        QCOMPARE(Autostart().entryFile(), temp.autostartFile());
    }

    void execArgument_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "-d" << "-d";
        QTest::newRow("empty") << "" << "\"\"";
        QTest::newRow("blank") << "a b" << "\"a b\"";
        QTest::newRow("quote") << "a\"b" << "\"a\\\"b\"";
        QTest::newRow("dollar") << "$HOME" << "\"\\$HOME\"";
        QTest::newRow("backtick") << "a`b" << "\"a\\`b\"";
        QTest::newRow("backslash") << "a\\b" << "\"a\\\\b\"";
        QTest::newRow("apostrophe") << "it's" << "\"it's\"";
        QTest::newRow("percent") << "50%" << "50%%";
        QTest::newRow("percent quoted") << "5 %f" << "\"5 %%f\"";
        QTest::newRow("persian") << "سلام" << "سلام";
    }

    void execArgument()
    {
        QFETCH(QString, argument);
        QFETCH(QString, text);
        QCOMPARE(Autostart::execArgument(argument), text);
    }

    void execLine_quotesTheProgramAndEscapesTheValue()
    {
        QCOMPARE(Autostart::execLine(QStringLiteral("/usr/bin/vorn"), {QStringLiteral("-d")}),
                 QStringLiteral("\"/usr/bin/vorn\" -d"));
        // A backslash in the path takes four in the file, a dollar two.
        QCOMPARE(Autostart::execLine(QStringLiteral("/tmp/a\\b/$x/vorn"), {QStringLiteral("-d")}),
                 QStringLiteral("\"/tmp/a\\\\\\\\b/\\\\$x/vorn\" -d"));
        QCOMPARE(Autostart::execLine(QStringLiteral("/tmp/two\nlines/vorn"), {}),
                 QStringLiteral("\"/tmp/two\\nlines/vorn\""));
    }

    void execLine_readsBackAsTheSameArguments_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("plain") << "/usr/bin/vorn";
        QTest::newRow("spaces") << "/home/u/My Programs/Vorn 1.3/vorn";
        QTest::newRow("persian") << "/home/u/برنامه ها/مرجع توابع/vorn";
        QTest::newRow("quotes") << "/home/u/\"quoted\" and 'single'/vorn";
        QTest::newRow("shell specials") << "/tmp/$HOME `id` a;b&c|d<e>f*g?h#i~j(k)/vorn";
        QTest::newRow("backslashes") << "/tmp/back\\slash\\\\two/vorn";
        QTest::newRow("percent") << "/tmp/100% sure %f %u/vorn";
        QTest::newRow("line breaks and tabs") << "/tmp/a\nb\tc\rd/vorn";
        QTest::newRow("escape look-alikes") << "/tmp/\\s\\n\\t/vorn";
    }

    void execLine_readsBackAsTheSameArguments()
    {
        QFETCH(QString, program);
        const QString value = Autostart::execLine(program, {QStringLiteral("-d")});
        QVERIFY(!value.contains(QLatin1Char('\n')));
        QCOMPARE(launcherArguments(value), QStringList({program, QStringLiteral("-d")}));
    }

    void entryText_isADesktopEntry()
    {
        const QString program = QStringLiteral("/home/u/برنامه/vorn");
        const QByteArray text = Autostart::entryText(program);
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nType=Application\n"));
        QVERIFY(text.contains("\nName=Vorn\n"));
        QCOMPARE(launcherArguments(execValue(text)), QStringList({program, QStringLiteral("-d")}));
        QCOMPARE(QString::fromUtf8(text).toUtf8(), text);
    }

    void enable_writesTheEntry_disableRemovesIt()
    {
        TempSettings temp;
        const Autostart autostart;
        QVERIFY(!autostart.isEnabled());
        QVERIFY(autostart.enable(QStringLiteral("/opt/vorn/vorn")));
        QVERIFY(autostart.isEnabled());
        QCOMPARE(fileBytes(temp.autostartFile()), Autostart::entryText(QStringLiteral("/opt/vorn/vorn")));
        QVERIFY(autostart.enable(QStringLiteral("/srv/moved/vorn")));
        QCOMPARE(fileBytes(temp.autostartFile()), Autostart::entryText(QStringLiteral("/srv/moved/vorn")));
        QVERIFY(autostart.disable());
        QVERIFY(!QFile::exists(temp.autostartFile()));
        QVERIFY(!autostart.isEnabled());
        QVERIFY(autostart.disable());
        QCOMPARE(QDir(QFileInfo(temp.autostartFile()).absolutePath()).entryList(QDir::Files), QStringList());
    }

    void enable_whereNothingCanBeWritten_fails()
    {
        TempSettings temp;
        // A file where the autostart folder should be.
        QFile blocker(QDir(temp.folder()).filePath(QStringLiteral("autostart")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const Autostart autostart;
        QVERIFY(!autostart.enable(QStringLiteral("/opt/vorn/vorn")));
        QVERIFY(!autostart.isEnabled());
        QVERIFY(autostart.disable());
    }

    // The entry is smaller than the file's write buffer, so it is written out only when
    // the file is put in place; a failure there went unnoticed, and the piece that fitted
    // (an Exec line cut short) replaced the good entry while enable said it had succeeded.
    void enablePastTheFileSizeLimit_leftACutEntry()
    {
        TempSettings temp;
        const Autostart autostart;
        QVERIFY(autostart.enable(QStringLiteral("/opt/vorn/vorn")));
        const QByteArray good = fileBytes(temp.autostartFile());
        bool enabled = true;
        {
            const FileSizeLimit limit(good.size() - 20);
            QVERIFY(limit.isSet());
            enabled = autostart.enable(QStringLiteral("/srv/moved/vorn"));
        }
        QVERIFY(!enabled);
        QCOMPARE(fileBytes(temp.autostartFile()), good);
        QCOMPARE(QDir(QFileInfo(temp.autostartFile()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"vorn.desktop"}));
    }

    void enable_withoutAFolder_fails()
    {
        const Autostart nowhere{QString()};
        QVERIFY(!nowhere.enable(QStringLiteral("/opt/vorn/vorn")));
        QVERIFY(!nowhere.isEnabled());
        QVERIFY(nowhere.disable());
    }

    void desktopLauncher_startsTheProgramWithTheSwitch()
    {
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (gio.isEmpty())
            QSKIP("no desktop launcher (gio) on this machine");
        TempSettings temp;
        // A program in a folder whose name a careless Exec line would break. (GLib looks
        // the program up before it turns %% into %, so '%' stays out of this one.)
        const QString folder = QDir(temp.folder()).filePath(
            QStringLiteral("My \"Programs\" $HOME `x` it's a\\b برنامه"));
        QVERIFY(QDir().mkpath(folder));
        const QString output = QDir(temp.folder()).filePath(QStringLiteral("started.txt"));
        const QString program = QDir(folder).filePath(QStringLiteral("vorn"));
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + output.toUtf8() + "'\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        const Autostart autostart;
        QVERIFY(autostart.enable(program));
        QProcess launcher;
        launcher.start(gio, {QStringLiteral("launch"), autostart.entryFile()});
        QVERIFY(launcher.waitForFinished(20000));
        QCOMPARE(launcher.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(output).endsWith('\n'), 10000);
        QCOMPARE(fileBytes(output), QByteArray("1\n-d\n"));
    }

    // A linked entry had its target replaced by a new file, whatever the target was.
    void symlinkedEntry_targetReplaced_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<bool>("written");
        QTest::newRow("the user's own entry") << QByteArray("[Desktop Entry]\nExec=vorn -d --later\n") << false;
        QTest::newRow("an entry this program wrote") << Autostart::entryText(QStringLiteral("/old/vorn")) << true;
        QTest::newRow("an empty file") << QByteArray("") << true;
    }

    void symlinkedEntry_targetReplaced()
    {
        QFETCH(QByteArray, target);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const QString linked = dir.filePath(QStringLiteral("dotfiles-vorn.desktop"));
        const QString entry = dir.filePath(QStringLiteral("vorn.desktop"));
        {
            QFile file(linked);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(target);
        }
        QVERIFY(QFile::link(linked, entry));
        QCOMPARE(Autostart(entry).enable(QStringLiteral("/new/vorn")), written);
        QVERIFY(QFileInfo(entry).isSymLink());
        QFile file(linked);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), written ? Autostart::entryText(QStringLiteral("/new/vorn")) : target);
    }
};

QTEST_GUILESS_MAIN(tst_Autostart)
#include "tst_autostart.moc"
