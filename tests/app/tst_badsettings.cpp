// Whatever the settings store holds, and whatever stops it being written, whole runs of
// the program start (with the defaults where a value cannot be used), end without a word
// (the store's failures are never reported), and never leave a store that lost values.
#include "app/mdlMain.h"
#include "platform/Texts.h"
#include "settings/RegKeys.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedPrompter.h"
#include "support/TempSettings.h"
#include "support/TestCatalogue.h"
#include "support/UnwritableFolder.h"
#include "ui/controls/Resizer.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextBox.h"
#include "ui/main/TwipPanel.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using mdlMain::Program;

namespace {

const QString appKey = QStringLiteral("Software\\Kel\\Vorn");

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString stored(const QString &name)
{
    return RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, appKey, name, QStringLiteral("<none>"));
}

QStringList filesBeside(const QString &store)
{
    return QDir(QFileInfo(store).absolutePath()).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class tst_BadSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;

    std::unique_ptr<Program> start()
    {
        auto run = std::make_unique<Program>(
            mdlMain::Environment{m_dir.path(), m_dir.filePath(QStringLiteral("lock")), &m_prompter});
        if (run->Main(QString()) != Program::Road::MainWindow)
            return nullptr;
        return run;
    }

    // The view as a run with an empty store shows it.
    static void verifyDefaults(frmMain *main)
    {
        QCOMPARE(main->txtFunction->font().pointSizeF(), 8.0);
        QCOMPARE(main->txtComment->font().pointSizeF(), 8.0);
        QVERIFY(main->lblFunctionName->isHidden());
        QVERIFY(main->StatusBar->isVisible());
        QVERIFY(main->picColtrols->isVisible());
        QCOMPARE(main->resControls->Control1Size(), 4000);
        QCOMPARE(main->resFunction->Control1Size(), 2000);
    }

private slots:
    void initTestCase() { writeCatalogue(m_dir.path(), {record("Beep", "d", "kernel32", "w", "x")}); }
    void init() { m_prompter = ScriptedPrompter(); }

    void corruptIni_usesWhatItCanRead_andKeepsItOnExit()
    {
        TempSettings settings;
        RegKeys::WriteKeyValue(RegKeys::Hive::CurrentUser, appKey, QStringLiteral("TreeSize"), QStringLiteral("3300"));
        RegKeys::WriteKeyValue(RegKeys::Hive::CurrentUser, appKey, QStringLiteral("Keys Vis"), QStringLiteral("False"));
        // Lines a hand or a broken editor left behind, between and after the good ones.
        QByteArray text = fileBytes(settings.storeFile());
        text.replace("\n", "\nthis line has no equals sign\n=a value without a name\n");
        text.append("[[[\n[Software\n\x01\x02\x03=\xff\xfe\nKel\\Vorn\\Fn%20Font%20Size=\n[]\n");
        writeBytes(settings.storeFile(), text);
        {
            auto run = start();
            QVERIFY(run);
            frmMain *main = run->mainWindow();
            QCOMPARE(main->resControls->Control1Size(), 3300);
            QVERIFY(main->picColtrols->isHidden());
            QCOMPARE(main->txtFunction->font().pointSizeF(), 8.0);
            main->mnuExit->trigger();
        }
        QVERIFY(m_prompter.messages.isEmpty());
        QCOMPARE(stored(QStringLiteral("TreeSize")), QStringLiteral("3300"));
        QCOMPARE(stored(QStringLiteral("Keys Vis")), QStringLiteral("False"));
        QCOMPARE(stored(QStringLiteral("StatusBar Vis")), QStringLiteral("True"));
        QCOMPARE(filesBeside(settings.storeFile()), QStringList{QStringLiteral("Vorn.ini")});
        auto again = start();
        QVERIFY(again);
        QCOMPARE(again->mainWindow()->resControls->Control1Size(), 3300);
        QVERIFY(again->mainWindow()->picColtrols->isHidden());
    }

    void binaryJunk_startsWithTheDefaults_andExitStoresTheView()
    {
        TempSettings settings;
        QByteArray junk(64 * 1024, Qt::Uninitialized);
        QRandomGenerator random(11);
        for (char &c : junk)
            c = static_cast<char>(random.bounded(256));
        writeBytes(settings.storeFile(), junk);
        {
            auto run = start();
            QVERIFY(run);
            verifyDefaults(run->mainWindow());
            run->mainWindow()->mnuKeys->trigger();
            run->mainWindow()->mnuExit->trigger();
        }
        QVERIFY(m_prompter.messages.isEmpty());
        QCOMPARE(stored(QStringLiteral("TreeSize")), QStringLiteral("4000"));
        QCOMPARE(stored(QStringLiteral("Keys Vis")), QStringLiteral("False"));
        QCOMPARE(filesBeside(settings.storeFile()), QStringList{QStringLiteral("Vorn.ini")});
        auto again = start();
        QVERIFY(again);
        QVERIFY(again->mainWindow()->picColtrols->isHidden());
    }

    void valuesOfTheWrongType_startWithTheDefaults()
    {
        TempSettings settings;
        {
            QDir().mkpath(QFileInfo(settings.storeFile()).absolutePath());
            QSettings raw(settings.storeFile(), QSettings::IniFormat);
            const QString key = QStringLiteral("Software/Kel/Vorn/");
            raw.setValue(key + QStringLiteral("TreeSize"), QByteArray("\x00\x01\x02", 3));
            raw.setValue(key + QStringLiteral("FunctionTextHeight"), QStringLiteral("99999999999"));
            raw.setValue(key + QStringLiteral("StatusBar Vis"), QStringList{QStringLiteral("a"), QStringLiteral("b")});
            raw.setValue(key + QStringLiteral("Keys Vis"), QStringLiteral("maybe"));
            raw.setValue(key + QStringLiteral("Fn Font Size"), QRect(1, 2, 3, 4));
            raw.setValue(key + QStringLiteral("Cm Font Size"), QStringLiteral("-8"));
            raw.setValue(key + QStringLiteral("Fn Caption"), QString(5000, QLatin1Char('T')));
        }
        auto run = start();
        QVERIFY(run);
        verifyDefaults(run->mainWindow());
        QVERIFY(m_prompter.messages.isEmpty());
    }

    void readOnlySettingsFolder_runEndsQuietly_storeAsItWas()
    {
        TempSettings settings;
        {
            auto run = start();
            QVERIFY(run);
            run->mainWindow()->mnuKeys->trigger();
            run->mainWindow()->mnuExit->trigger();
        }
        const QByteArray before = fileBytes(settings.storeFile());
        QVERIFY(before != "<none>");
        {
            auto run = start();
            QVERIFY(run);
            run->mainWindow()->mnuKeys->trigger();
            run->mainWindow()->resControls->setControl1Size(3000);
            UnwritableFolder locked(settings.folder(), QFileInfo(settings.storeFile()).absolutePath());
            if (!locked.isUnwritable())
                QSKIP("the folder stays writable for this user");
            run->mainWindow()->mnuExit->trigger();
        }
        QVERIFY(m_prompter.messages.isEmpty());
        QCOMPARE(fileBytes(settings.storeFile()), before);
        QCOMPARE(filesBeside(settings.storeFile()), QStringList{QStringLiteral("Vorn.ini")});
        auto again = start();
        QVERIFY(again);
        QVERIFY(again->mainWindow()->picColtrols->isHidden());
    }

    void fullDisk_runEndsQuietly_storeKeptWhole()
    {
        // A full disk, as a file size limit makes it: no file may grow past a few bytes.
        TempSettings settings;
        {
            auto run = start();
            QVERIFY(run);
            run->mainWindow()->mnuKeys->trigger();
            run->mainWindow()->mnuExit->trigger();
        }
        const QByteArray before = fileBytes(settings.storeFile());
        QVERIFY(before != "<none>");
        {
            auto run = start();
            QVERIFY(run);
            run->mainWindow()->mnuKeys->trigger();
            run->mainWindow()->resControls->setControl1Size(3000);
            const FileSizeLimit limit(before.size() / 2);
            QVERIFY(limit.isSet());
            run->mainWindow()->mnuExit->trigger();
        }
        QVERIFY(m_prompter.messages.isEmpty());
        QCOMPARE(fileBytes(settings.storeFile()), before);
        QCOMPARE(filesBeside(settings.storeFile()), QStringList{QStringLiteral("Vorn.ini")});
        auto again = start();
        QVERIFY(again);
        QVERIFY(again->mainWindow()->picColtrols->isHidden());
        QCOMPARE(again->mainWindow()->resControls->Control1Size(), 4000);
    }

    // A pipe in place of Vorn.ini hung start-up before any window (and the next start
    // said "already running"); a link to someone else's file had that file replaced on
    // exit. Both now start with the defaults, say so once, and write nothing.
    void storeNotItsOwn_hungOrReplaced_data()
    {
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<QString>("warning");
        QTest::newRow("a pipe") << true << Texts::settingsNotAFile;
        QTest::newRow("a link to another file") << false << Texts::settingsLinkRefused;
    }

    void storeNotItsOwn_hungOrReplaced()
    {
        QFETCH(bool, pipe);
        QFETCH(QString, warning);
        TempSettings settings;
        QDir().mkpath(QFileInfo(settings.storeFile()).absolutePath());
        const QString other = settings.folder() + QStringLiteral("/passwd");
        writeBytes(other, "root:x:0:0:root:/root:/bin/bash\n");
        if (pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(settings.storeFile()).constData(), 0600), 0);
        else
            QVERIFY(QFile::link(other, settings.storeFile()));
        {
            auto run = start();
            QVERIFY(run);
            verifyDefaults(run->mainWindow());
            run->mainWindow()->mnuKeys->trigger();
            run->mainWindow()->mnuExit->trigger();
        }
        QCOMPARE(m_prompter.messages.size(), 1);
        QCOMPARE(m_prompter.messages.constFirst().text, warning + QStringLiteral("\r\n") + settings.storeFile());
        QCOMPARE(fileBytes(other), QByteArray("root:x:0:0:root:/root:/bin/bash\n"));
        QCOMPARE(QDir(QFileInfo(settings.storeFile()).absolutePath())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden),
                 QStringList{QStringLiteral("Vorn.ini")});
    }
};

QTEST_MAIN(tst_BadSettings)
#include "tst_badsettings.moc"
