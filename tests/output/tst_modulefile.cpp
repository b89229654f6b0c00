#include "output/ModuleFile.h"
#include "support/FileSizeLimit.h"
#include "support/UnwritableFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class tst_ModuleFile : public QObject
{
    Q_OBJECT

private slots:
    void newFile_holdsExactlyTheBytes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("GetTickCount.bas"));
        const QByteArray bytes("Attribute VB_Name = \"Api_GetTickCount\"\r\n\x98\x81\xed\r\n");
        const ModuleFile::WriteResult result = ModuleFile::write(path, bytes);
        QVERIFY(result.ok);
        QCOMPARE(result.errorNumber, 0);
        QCOMPARE(contentOf(path), bytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"GetTickCount.bas"}));
    }

    void existingLongerFile_isReplacedWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.bas"));
        writeRaw(path, QByteArray(5000, 'x'));
        QVERIFY(ModuleFile::write(path, "short\r\n").ok);
        QCOMPARE(contentOf(path), QByteArray("short\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"m.bas"}));
    }

    void emptyBytes_giveAnEmptyFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.bas"));
        writeRaw(path, "old");
        QVERIFY(ModuleFile::write(path, QByteArray()).ok);
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void missingFolder_isPathNotFound_andCreatesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("no such folder/m.bas"));
        const ModuleFile::WriteResult result = ModuleFile::write(path, "x");
        QVERIFY(!result.ok);
        QCOMPARE(result.errorNumber, 76);
        QCOMPARE(result.errorDescription, QStringLiteral("Path not found"));
        QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    void targetIsAFolder_isPathFileAccessError()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("m.bas")));
        const ModuleFile::WriteResult result = ModuleFile::write(dir.filePath(QStringLiteral("m.bas")), "x");
        QVERIFY(!result.ok);
        QCOMPARE(result.errorNumber, 75);
        QCOMPARE(result.errorDescription, QStringLiteral("Path/File access error"));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("m.bas"))).isDir());
    }

    void emptyPath_isPathFileAccessError()
    {
        const ModuleFile::WriteResult result = ModuleFile::write(QString(), "x");
        QVERIFY(!result.ok);
        QCOMPARE(result.errorNumber, 75);
    }

    // Over a writable module in a folder that takes no new file, the save failed with
    // error 75 (its new file beside the old could not be made). It now writes the file in
    // place; a write that does not fit puts the old content back; a file that may not be
    // written stays as it was, and nothing is left beside it.
    void writableFileInAFolderTakingNoNewFile_failedWithError75_data()
    {
        QTest::addColumn<bool>("fileWritable");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("sizeLimit"); // 0: none
        QTest::addColumn<qint64>("errorNumber");
        const QByteArray module("Attribute VB_Name = \"Api_New\"\r\n");
        QTest::newRow("written in place") << true << module << qint64(0) << qint64(0);
        QTest::newRow("shorter") << true << QByteArray("x") << qint64(0) << qint64(0);
        QTest::newRow("past the file size limit") << true << QByteArray(64 * 1024, 'x') << qint64(4096) << qint64(57);
        QTest::newRow("a read-only file") << false << module << qint64(0) << qint64(75);
    }

    void writableFileInAFolderTakingNoNewFile_failedWithError75()
    {
        QFETCH(bool, fileWritable);
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, sizeLimit);
        QFETCH(qint64, errorNumber);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
        const QString folder = dir.filePath(QStringLiteral("locked"));
        const QString path = folder + QStringLiteral("/m.bas");
        const QByteArray old("' the user's own module, longer than the shortest new one\r\n");
        writeRaw(path, old);
        if (fileWritable)
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                    | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
        ModuleFile::WriteResult result;
        {
            UnwritableFolder locked(dir.path(), folder);
            if (!locked.isUnwritable())
                QSKIP("the folder stays writable for this user");
            const std::optional<FileSizeLimit> limit = sizeLimit ? std::make_optional<FileSizeLimit>(sizeLimit) : std::nullopt;
            result = ModuleFile::write(path, bytes);
        }
        QCOMPARE(result.errorNumber, errorNumber);
        QCOMPARE(result.ok, errorNumber == 0);
        QCOMPARE(contentOf(path), errorNumber == 0 ? bytes : old);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList({"m.bas"}));
    }

    void pastTheFileSizeLimit_deviceIoError_leavesTheExistingFileAsItWas()
    {
        // A file that cannot grow past the limit fails as on a full disk: the module goes
        // into a file beside the target, which never takes the target's place.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.bas"));
        const QByteArray old("' the user's own module\r\n");
        writeRaw(path, old);

        ModuleFile::WriteResult result;
        {
            const FileSizeLimit limit(4096);
            QVERIFY(limit.isSet());
            result = ModuleFile::write(path, QByteArray(64 * 1024, 'x'));
        }
        QVERIFY(!result.ok);
        QCOMPARE(result.errorNumber, 57);
        QCOMPARE(result.errorDescription, QStringLiteral("Device I/O error"));
        QCOMPARE(contentOf(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"m.bas"}));
    }

    // A module smaller than the file's write buffer is written out only when the file is
    // put in place; a failure there went unnoticed, and the piece that fitted under the
    // limit replaced the user's file.
    void smallModulePastTheFileSizeLimit_replacedTheOldFileWithAPiece()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.bas"));
        const QByteArray old("' the user's own module\r\n");
        writeRaw(path, old);

        ModuleFile::WriteResult result;
        {
            const FileSizeLimit limit(100);
            QVERIFY(limit.isSet());
            result = ModuleFile::write(path, QByteArray(180, 'x'));
        }
        QVERIFY(!result.ok);
        QCOMPARE(result.errorNumber, 57);
        QCOMPARE(contentOf(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"m.bas"}));
    }
};

QTEST_APPLESS_MAIN(tst_ModuleFile)
#include "tst_modulefile.moc"
