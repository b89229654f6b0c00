#include "platform/Texts.h"
#include "settings/RegKeys.h"
#include "support/FileSizeLimit.h"
#include "support/TempSettings.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using RegKeys::Hive;

namespace {

const QString appKey = QStringLiteral("Software\\Kel\\Vorn");

QString read(const QString &name, const QString &defaultValue = QStringLiteral("<default>"))
{
    return RegKeys::ReadKeyValue(Hive::CurrentUser, appKey, name, defaultValue);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Stores a value of any kind straight into the file, as another program might.
void storeRaw(const QString &file, const QString &key, const QVariant &value)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
}

const QString rawKey = QStringLiteral("Software/Kel/Vorn/");

// The killed-writer test runs this same program as the writer.
constexpr char writerSwitch[] = "VORN_TST_REGKEYS_WRITER";
constexpr int writerValues = 300;
constexpr int writerLength = 900;

QString writerName(int i)
{
    return QStringLiteral("v%1").arg(i, 3, 10, QLatin1Char('0'));
}

QString writerText(int round)
{
    return QString(writerLength, QChar(u'a' + round % 26));
}

int runWriter()
{
    QElapsedTimer clock;
    clock.start();
    for (int round = 1; clock.elapsed() < 60000; ++round)
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, writerName(round % writerValues), writerText(round));
    return 0;
}

// The warnings the store gives while it lives.
struct Warnings
{
    QStringList told;
    Warnings() { RegKeys::setWarningHandler([this](const QString &text) { told << text; }); }
    ~Warnings() { RegKeys::setWarningHandler({}); }
};

// An environment variable set (or, with a null value, unset) while it lives.
struct Env
{
    const char *name;
    QByteArray previous;
    bool had;
    Env(const char *n, const QByteArray &value)
        : name(n), previous(qgetenv(n)), had(qEnvironmentVariableIsSet(n))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~Env() { had ? qputenv(name, previous) : qunsetenv(name); }
};

} // namespace

class tst_RegKeys : public QObject
{
    Q_OBJECT

private slots:
    void storeFile_isKelVornIniInTheConfigFolder()
    {
        TempSettings temp;
        QCOMPARE(RegKeys::hiveFile(Hive::CurrentUser), temp.storeFile());
    }

    void readMissingKey_givesDefault_andCreatesNothing()
    {
        TempSettings temp;
        QCOMPARE(RegKeys::ReadKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Nobody\\Here"),
                                       QStringLiteral("x"), QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
        QVERIFY(!QFile::exists(temp.storeFile()));
        QVERIFY(QDir(temp.folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void readMissingValueOfExistingKey_givesDefault_fileUnchanged()
    {
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("present"), QStringLiteral("1"));
        const QByteArray before = fileBytes(temp.storeFile());
        QCOMPARE(read(QStringLiteral("absent"), QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(RegKeys::ReadKeyValue(Hive::CurrentUser, appKey + QStringLiteral("\\Sub"), QStringLiteral("present"),
                                       QStringLiteral("d")),
                 QStringLiteral("d"));
        QCOMPARE(fileBytes(temp.storeFile()), before);
    }

    void write_createsEveryMissingLevel()
    {
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn\\Position"),
                               QStringLiteral("frmMain.Top"), QStringLiteral("1200"));
        QSettings raw(temp.storeFile(), QSettings::IniFormat);
        QCOMPARE(raw.childGroups(), QStringList{QStringLiteral("Software")});
        raw.beginGroup(QStringLiteral("Software"));
        QCOMPARE(raw.childGroups(), QStringList{QStringLiteral("Kel")});
        raw.beginGroup(QStringLiteral("Kel"));
        QCOMPARE(raw.childGroups(), QStringList{QStringLiteral("Vorn")});
        raw.beginGroup(QStringLiteral("Vorn"));
        QCOMPARE(raw.childGroups(), QStringList{QStringLiteral("Position")});
        QCOMPARE(raw.value(QStringLiteral("Position/frmMain.Top")).toString(), QStringLiteral("1200"));
    }

    void write_isOnDiskWhenItReturns()
    {
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("TreeSize"), QStringLiteral("4321"));
        QVERIFY(fileBytes(temp.storeFile()).contains("TreeSize=4321"));
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("TreeSize"), QStringLiteral("77"));
        QVERIFY(fileBytes(temp.storeFile()).contains("TreeSize=77"));
        QVERIFY(!fileBytes(temp.storeFile()).contains("4321"));
    }

    void writeEmpty_readsBackAsBlank()
    {
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("e"), QString());
        QCOMPARE(read(QStringLiteral("e")), QStringLiteral(" "));
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("e2"), QStringLiteral(""));
        QCOMPARE(read(QStringLiteral("e2")), QStringLiteral(" "));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("number") << QStringLiteral("4000");
        QTest::newRow("word") << QStringLiteral("True");
        QTest::newRow("persian") << QStringLiteral("سايز فونت کد ");
        QTest::newRow("blanks around") << QStringLiteral("  a b  ");
        QTest::newRow("ini specials") << QStringLiteral("a=b;c,d \"q\" [s] #h");
        QTest::newRow("leading at") << QStringLiteral("@ByteArray(x)");
        QTest::newRow("backslashes") << QStringLiteral("C:\\Program Files\\Vorn\\vorn.exe");
        QTest::newRow("line break") << QStringLiteral("one\r\ntwo");
        QTest::newRow("1023 bytes") << QString(1023, QLatin1Char('x'));
    }

    void roundTrip()
    {
        QFETCH(QString, value);
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("v"), value);
        QCOMPARE(read(QStringLiteral("v")), value);
    }

    void integerValue_readsAsSignedDecimal_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("text");
        QTest::newRow("1234") << QVariant(qint32(1234)) << QStringLiteral("1234");
        QTest::newRow("26") << QVariant(qint32(26)) << QStringLiteral("26");
        QTest::newRow("negative") << QVariant(qint32(-7)) << QStringLiteral("-7");
        QTest::newRow("all bits, signed") << QVariant(quint32(0xFFFFFFFFu)) << QStringLiteral("-1");
        QTest::newRow("high bit") << QVariant(quint32(0x80000000u)) << QStringLiteral("-2147483648");
    }

    void integerValue_readsAsSignedDecimal()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, text);
        TempSettings temp;
        storeRaw(temp.storeFile(), rawKey + QStringLiteral("n"), stored);
        QCOMPARE(read(QStringLiteral("n")), text);
    }

    void valuesOfOtherKinds_readAsEmptyText()
    {
        TempSettings temp;
        storeRaw(temp.storeFile(), rawKey + QStringLiteral("bin"), QByteArray("\x01\x02\x03", 3));
        storeRaw(temp.storeFile(), rawKey + QStringLiteral("list"),
                 QStringList{QStringLiteral("a"), QStringLiteral("b")});
        storeRaw(temp.storeFile(), rawKey + QStringLiteral("rect"), QRect(1, 2, 3, 4));
        QCOMPARE(read(QStringLiteral("bin")), QString());
        QCOMPARE(read(QStringLiteral("list")), QString());
        QCOMPARE(read(QStringLiteral("rect")), QString());
    }

    void textWrittenByHand_readsAsText()
    {
        TempSettings temp;
        QDir().mkpath(QFileInfo(temp.storeFile()).absolutePath());
        QFile file(temp.storeFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Software]\nKel\\Vorn\\Keys%20Vis=False\nKel\\Vorn\\n=1234\nKel\\Vorn\\b=@ByteArray(xyz)\n");
        file.close();
        QCOMPARE(read(QStringLiteral("Keys Vis")), QStringLiteral("False"));
        QCOMPARE(read(QStringLiteral("n")), QStringLiteral("1234"));
        QCOMPARE(read(QStringLiteral("b")), QString());
    }

    void readBuffer_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        const QString dflt = QStringLiteral("<default>");
        QTest::newRow("1023 bytes") << QString(1023, QLatin1Char('a')) << QString(1023, QLatin1Char('a'));
        QTest::newRow("1024 bytes") << QString(1024, QLatin1Char('a')) << dflt;
        QTest::newRow("2000 characters") << QString(2000, QLatin1Char('a')) << dflt;
        // Persian letters take one byte each in the code page, two in UTF-8.
        const QChar kaf(0x06A9);
        QTest::newRow("1023 persian") << QString(1023, kaf) << QString(1023, kaf);
        QTest::newRow("1024 persian") << QString(1024, kaf) << dflt;
        QTest::newRow("1024 with nul") << QString(10, QLatin1Char('b')) + QChar(0) + QString(1013, QLatin1Char('c'))
                                       << QString(10, QLatin1Char('b'));
        QTest::newRow("1025 with nul") << QString(10, QLatin1Char('b')) + QChar(0) + QString(1014, QLatin1Char('c'))
                                       << dflt;
        QTest::newRow("cut at nul") << QStringLiteral("ab") + QChar(0) + QStringLiteral("cd") << QStringLiteral("ab");
    }

    void readBuffer()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("long"), stored);
        QCOMPARE(read(QStringLiteral("long")), expected);
    }

    void codePage_isWindows1256()
    {
        QCOMPARE(RegKeys::codePageLength(QStringLiteral("abc")), qsizetype(3));
        QCOMPARE(RegKeys::codePageLength(QStringLiteral("سايز فونت کد")), qsizetype(12));
        // A character the code page lacks takes the one byte of its replacement.
        QCOMPARE(RegKeys::codePageLength(QStringLiteral("中")), qsizetype(1));
        QCOMPARE(RegKeys::codePageLength(QString::fromUtf8("a\xF0\x9D\x84\x9E" "b")), qsizetype(3));
    }

    void byteValue_tooLongForTheBuffer_readsAsDefault()
    {
        TempSettings temp;
        storeRaw(temp.storeFile(), rawKey + QStringLiteral("small"), QByteArray(1023, 'x'));
        storeRaw(temp.storeFile(), rawKey + QStringLiteral("full"), QByteArray(1024, 'x'));
        storeRaw(temp.storeFile(), rawKey + QStringLiteral("big"), QByteArray(2000, 'x'));
        QCOMPARE(read(QStringLiteral("small")), QString());
        QCOMPARE(read(QStringLiteral("full")), QStringLiteral("<default>"));
        QCOMPARE(read(QStringLiteral("big")), QStringLiteral("<default>"));
    }

    void deleteValue_removesIt()
    {
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("a"), QStringLiteral("1"));
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("b"), QStringLiteral("2"));
        RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("a"));
        QCOMPARE(read(QStringLiteral("a")), QStringLiteral("<default>"));
        QCOMPARE(read(QStringLiteral("b")), QStringLiteral("2"));
        QVERIFY(!fileBytes(temp.storeFile()).contains("a=1"));
    }

    void deleteMissing_changesNothing()
    {
        TempSettings temp;
        RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("a"));
        QVERIFY(!QFile::exists(temp.storeFile()));

        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("a"), QStringLiteral("1"));
        const QByteArray before = fileBytes(temp.storeFile());
        const QDateTime modified = QFileInfo(temp.storeFile()).lastModified();
        QTest::qWait(20);
        RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("missing"));
        RegKeys::DeleteKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Missing\\Key"), QStringLiteral("a"));
        RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey + QStringLiteral("\\Position"), QStringLiteral("a"));
        QCOMPARE(fileBytes(temp.storeFile()), before);
        QCOMPARE(QFileInfo(temp.storeFile()).lastModified(), modified);
    }

    void deleteValue_keepsSubkeyOfTheSameName()
    {
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel"), QStringLiteral("Vorn"),
                               QStringLiteral("value"));
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("TreeSize"), QStringLiteral("3000"));
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey + QStringLiteral("\\Position"), QStringLiteral("frmMain"),
                               QStringLiteral("frmMain"));
        RegKeys::DeleteKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel"), QStringLiteral("Vorn"));
        QCOMPARE(RegKeys::ReadKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel"), QStringLiteral("Vorn"),
                                       QStringLiteral("d")),
                 QStringLiteral("d"));
        QCOMPARE(read(QStringLiteral("TreeSize")), QStringLiteral("3000"));
        QCOMPARE(RegKeys::ReadKeyValue(Hive::CurrentUser, appKey + QStringLiteral("\\Position"),
                                       QStringLiteral("frmMain"), QString()),
                 QStringLiteral("frmMain"));
    }

    void valueNames_withSeparatorsStayOneName()
    {
        TempSettings temp;
        const QStringList names = {QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral("a%2Fb"),
                                   QStringLiteral("@"), QString(), QStringLiteral("100%")};
        for (const QString &name : names)
            RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, name, QStringLiteral("<") + name + QStringLiteral(">"));
        for (const QString &name : names)
            QCOMPARE(read(name), QStringLiteral("<") + name + QStringLiteral(">"));
        // "a/b" did not become the value b of a subkey a.
        QCOMPARE(RegKeys::ReadKeyValue(Hive::CurrentUser, appKey + QStringLiteral("\\a"), QStringLiteral("b"),
                                       QStringLiteral("none")),
                 QStringLiteral("none"));
        RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("a/b"));
        QCOMPARE(read(QStringLiteral("a/b")), QStringLiteral("<default>"));
        QCOMPARE(read(QStringLiteral("a\\b")), QStringLiteral("<a\\b>"));
    }

    void keyPathWithEmptyLevel_namesNoKey()
    {
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, QStringLiteral("Software\\\\Kel"), QStringLiteral("x"),
                               QStringLiteral("1"));
        RegKeys::WriteKeyValue(Hive::CurrentUser, QStringLiteral("\\Software"), QStringLiteral("x"), QStringLiteral("1"));
        QVERIFY(!QFile::exists(temp.storeFile()));
        QCOMPARE(RegKeys::ReadKeyValue(Hive::CurrentUser, QStringLiteral("Software\\\\Kel"), QStringLiteral("x"),
                                       QStringLiteral("d")),
                 QStringLiteral("d"));
    }

    void storeThatCannotBeWritten_failsQuietly()
    {
        TempSettings temp;
        // A file where the store's folder should be: no user, not even root, can write.
        QFile blocker(QDir(temp.folder()).filePath(QStringLiteral("Kel")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("x"), QStringLiteral("1"));
        QCOMPARE(read(QStringLiteral("x")), QStringLiteral("<default>"));
        RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("x"));
        QVERIFY(QFileInfo(blocker.fileName()).isFile());
    }

    // A full disk, as the file size limit makes it. QSettings put its new file in place
    // even when writing it had failed half way: the store was cut down to what fitted,
    // and the values after the cut were lost.
    void writePastTheFileSizeLimit_cutTheStore()
    {
        TempSettings temp;
        for (int i = 0; i < 20; ++i)
            RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("v%1").arg(i), QString(40, QLatin1Char('a')));
        const QByteArray before = fileBytes(temp.storeFile());
        {
            const FileSizeLimit limit(before.size() + 10);
            QVERIFY(limit.isSet());
            RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("long"), QString(200, QLatin1Char('b')));
            QCOMPARE(fileBytes(temp.storeFile()), before);
            QCOMPARE(read(QStringLiteral("long")), QStringLiteral("<default>"));
            // What fits is written: a value taken away makes the file smaller.
            RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("v3"));
            RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("v0"), QString(400, QLatin1Char('c')));
        }
        QCOMPARE(read(QStringLiteral("v3")), QStringLiteral("<default>"));
        QCOMPARE(read(QStringLiteral("long")), QStringLiteral("<default>"));
        for (int i : {0, 1, 2, 4, 10, 19})
            QCOMPARE(read(QStringLiteral("v%1").arg(i)), QString(40, QLatin1Char('a')));
        const QSettings raw(temp.storeFile(), QSettings::IniFormat);
        QCOMPARE(raw.allKeys().size(), 19);
        QCOMPARE(QDir(QFileInfo(temp.storeFile()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Vorn.ini")});
    }

    // With Kel/Vorn.ini a link, the first save renamed a new INI over the link's target,
    // whatever it was (a copy of a password file became a settings file); a pipe there
    // hung the first read for ever.
    void symlinkedStore_targetReplaced_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("warning");
        QTest::newRow("someone else's file") << "other" << false << Texts::settingsLinkRefused;
        QTest::newRow("settings of its own") << "own" << true << QString();
        QTest::newRow("an empty file") << "empty" << true << QString();
        QTest::newRow("a pipe") << "pipe" << false << Texts::settingsNotAFile;
        QTest::newRow("nothing") << "dangling" << false << Texts::settingsLinkRefused;
        QTest::newRow("a pipe, no link") << "plain pipe" << false << Texts::settingsNotAFile;
    }

    void symlinkedStore_targetReplaced()
    {
        QFETCH(QString, target);
        QFETCH(bool, written);
        QFETCH(QString, warning);
        TempSettings temp;
        QDir().mkpath(temp.folder() + QStringLiteral("/Kel"));
        QDir().mkpath(temp.folder() + QStringLiteral("/dotfiles"));
        const QString store = temp.storeFile();
        const QString linked = temp.folder() + QStringLiteral("/dotfiles/Vorn.ini");
        const QByteArray content = target == QLatin1String("other") ? QByteArray("root:x:0:0:root:/root:/bin/bash\n")
                                   : target == QLatin1String("own") ? QByteArray("[Software]\nKel\\Vorn\\TreeSize=3300\n")
                                                                    : QByteArray();
        if (target.endsWith(QLatin1String("pipe")))
            QCOMPARE(::mkfifo(QFile::encodeName(target == QLatin1String("pipe") ? linked : store).constData(), 0600), 0);
        if (!target.endsWith(QLatin1String("pipe")) && target != QLatin1String("dangling")) {
            QFile file(linked);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        if (target != QLatin1String("plain pipe"))
            QVERIFY(QFile::link(linked, store));

        Warnings warnings;
        QCOMPARE(read(QStringLiteral("TreeSize")), target == QLatin1String("own") ? QStringLiteral("3300")
                                                                                  : QStringLiteral("<default>"));
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("Keys Vis"), QStringLiteral("False"));
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("TreeSize"), QStringLiteral("2000"));

        QCOMPARE(QFileInfo(store).isSymLink(), target != QLatin1String("plain pipe"));
        if (written) {
            QCOMPARE(read(QStringLiteral("Keys Vis")), QStringLiteral("False"));
            QCOMPARE(read(QStringLiteral("TreeSize")), QStringLiteral("2000"));
            QVERIFY(warnings.told.isEmpty());
        } else {
            if (!content.isEmpty())
                QCOMPARE(fileBytes(linked), content);
            QCOMPARE(warnings.told, QStringList{warning + QStringLiteral("\r\n") + store});
        }
        QCOMPARE(QDir(temp.folder() + QStringLiteral("/Kel")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 QStringList{QStringLiteral("Vorn.ini")});
    }

    // A relative XDG_CONFIG_HOME was taken relative to the working folder, and without a
    // HOME the store went under "/".
    void configFolderRule_relativeOrNoHome_data()
    {
        QTest::addColumn<QByteArray>("configHome");
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<QString>("hive"); // below the temporary folder; empty: none
        QTest::newRow("relative XDG_CONFIG_HOME") << QByteArray("relative/config") << QByteArray("HOME")
                                                  << "/.config/Kel/Vorn.ini";
        QTest::newRow("absolute XDG_CONFIG_HOME") << QByteArray("TEMP/x") << QByteArray() << "/x/Kel/Vorn.ini";
        QTest::newRow("no HOME") << QByteArray() << QByteArray() << QString();
        QTest::newRow("relative HOME") << QByteArray() << QByteArray("home") << QString();
    }

    void configFolderRule_relativeOrNoHome()
    {
        QFETCH(QByteArray, configHome);
        QFETCH(QByteArray, home);
        QFETCH(QString, hive);
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const Env xdg("XDG_CONFIG_HOME", configHome.isEmpty() ? QByteArray() : configHome.replace("TEMP", folder));
        const Env homeVariable("HOME", home.isEmpty() ? QByteArray() : home == "HOME" ? folder : home);
        QCOMPARE(RegKeys::hiveFile(Hive::CurrentUser), hive.isEmpty() ? QString() : dir.path() + hive);
        if (!hive.isEmpty())
            return;
        // Without a folder the values last for the run, and the user is told so once.
        Warnings warnings;
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("TreeSize"), QStringLiteral("3300"));
        QCOMPARE(read(QStringLiteral("TreeSize")), QStringLiteral("3300"));
        RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("TreeSize"));
        QCOMPARE(read(QStringLiteral("TreeSize")), QStringLiteral("<default>"));
        QCOMPARE(warnings.told, QStringList{Texts::settingsForThisRunOnly});
        QVERIFY(!QFileInfo::exists(QStringLiteral("relative")) && !QFileInfo::exists(QStringLiteral("home")));
    }

    // Files a killed save left beside the store piled up, one more at every kill.
    void killedSavesLeftovers_pileUp()
    {
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("a"), QStringLiteral("1"));
        for (const char *leftover : {".old", ".check-0123456789abcdef", ".new-fedcba9876543210"})
            QVERIFY(QFile(temp.storeFile() + QLatin1String(leftover)).open(QIODevice::WriteOnly));
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("a"), QStringLiteral("2"));
        QCOMPARE(QDir(QFileInfo(temp.storeFile()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Vorn.ini")});
    }

    // Exit with a large store rewrote the whole file once for every value it stored.
    void largeStore_rewrittenForEveryValue()
    {
        TempSettings temp;
        {
            const RegKeys::Batch setUp;
            for (int i = 0; i < 3000; ++i)
                RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, writerName(i), writerText(i));
        }
        const QByteArray before = fileBytes(temp.storeFile());
        struct stat was = {};
        QCOMPARE(::stat(QFile::encodeName(temp.storeFile()).constData(), &was), 0);
        {
            const RegKeys::Batch exit;
            for (int i = 0; i < 12; ++i) {
                RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("exit%1").arg(i), QString::number(i));
                QCOMPARE(fileBytes(temp.storeFile()), before);
            }
        }
        struct stat now = {};
        QCOMPARE(::stat(QFile::encodeName(temp.storeFile()).constData(), &now), 0);
        QVERIFY(now.st_ino != was.st_ino);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(read(QStringLiteral("exit%1").arg(i)), QString::number(i));
        QCOMPARE(read(writerName(2999)), writerText(2999));
    }

    void manyWrites_leaveAValidFileAndNoLeftovers()
    {
        TempSettings temp;
        for (int i = 0; i < 160; ++i) {
            RegKeys::WriteKeyValue(Hive::CurrentUser, appKey + QStringLiteral("\\Position"),
                                   QStringLiteral("w%1").arg(i % 40), QString::number(i));
            RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("t%1").arg(i % 7),
                                   QStringLiteral("سايز %1 \"x\", y; z").arg(i));
        }
        QSettings raw(temp.storeFile(), QSettings::IniFormat);
        QCOMPARE(raw.status(), QSettings::NoError);
        for (int i = 120; i < 160; ++i)
            QCOMPARE(RegKeys::ReadKeyValue(Hive::CurrentUser, appKey + QStringLiteral("\\Position"),
                                           QStringLiteral("w%1").arg(i % 40), QString()),
                     QString::number(i));
        for (int i = 153; i < 160; ++i)
            QCOMPARE(read(QStringLiteral("t%1").arg(i % 7)), QStringLiteral("سايز %1 \"x\", y; z").arg(i));
        QCOMPARE(QDir(QFileInfo(temp.storeFile()).absolutePath()).entryList(QDir::Files),
                 QStringList{QStringLiteral("Vorn.ini")});
    }

    void writerKilledMidWrite_leavesTheLastWholeFile()
    {
        TempSettings temp;
        {
            QDir().mkpath(QFileInfo(temp.storeFile()).absolutePath());
            QSettings raw(temp.storeFile(), QSettings::IniFormat);
            for (int i = 0; i < writerValues; ++i)
                raw.setValue(rawKey + writerName(i), writerText(0));
            raw.setValue(rawKey + QStringLiteral("begin"), QStringLiteral("here"));
        }
        const QByteArray initial = fileBytes(temp.storeFile());

        bool changed = false;
        const int delays[] = {150, 260, 190, 330};
        for (const int delay : delays) {
            QProcess writer;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QString::fromLatin1(writerSwitch), QStringLiteral("1"));
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), temp.folder());
            writer.setProcessEnvironment(environment);
            writer.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(writer.waitForStarted());
            QTest::qWait(delay);
            writer.kill();
            QVERIFY(writer.waitForFinished());

            // Whole: every value there, each at full length and of one letter.
            QCOMPARE(read(QStringLiteral("begin")), QStringLiteral("here"));
            const QSettings raw(temp.storeFile(), QSettings::IniFormat);
            QCOMPARE(raw.status(), QSettings::NoError);
            for (int i = 0; i < writerValues; ++i) {
                const QString value = raw.value(rawKey + writerName(i)).toString();
                QCOMPARE(value.size(), writerLength);
                QCOMPARE(value, QString(writerLength, value.at(0)));
            }
            changed = changed || fileBytes(temp.storeFile()) != initial;
        }
        QVERIFY2(changed, "the writer never got a write through");

        // The lock the killed writer held does not block the next write.
        QElapsedTimer clock;
        clock.start();
        RegKeys::WriteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("after"), QStringLiteral("yes"));
        QCOMPARE(read(QStringLiteral("after")), QStringLiteral("yes"));
        QVERIFY(clock.elapsed() < 10000);
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(writerSwitch))
        return runWriter();
    QCoreApplication app(argc, argv);
    tst_RegKeys test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_regkeys.moc"
