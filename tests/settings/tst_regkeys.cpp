#include "settings/RegKeys.h"
#include "support/FileSizeLimit.h"
#include "support/TempSettings.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>

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
