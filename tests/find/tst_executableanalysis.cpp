#include "find/ExecutableAnalysis.h"
#include "find/NameScanner.h"
#include "support/AsNobody.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using ExecutableAnalysis::Outcome;

namespace {

QString dataFile(const QString &name)
{
    return qEnvironmentVariable("VORN_TEST_DATA") + QStringLiteral("/data/") + name;
}

} // namespace

class tst_ExecutableAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void emptyFile_notExecutable();
    void textWithZThird_passesAndIsScanned();
    void justMZ_passes();
    void threeAtOffsetFour_passesAndIsScanned();
    void plainText_notExecutable();
    void realExecutable_listsImportedNames();
    void smallPieces_sameResultAndProgressToTheEnd();
    void progressFalse_cancels();
    void missingFile_fileNotFound();
    void directory_refusedWithoutReading();
    void pipe_refusedWithoutWaiting();
    void device_refused();
    void unreadableFile_permissionDenied();
    void readFailure_deviceIoError();
    void errorDescriptions_areBasicOnes();
    void oneByteFiles_notExecutable();
    void sparseFileOfFourGigabytes_scannedToItsEnd();
    void deletedWhileAnalysed_readToItsEnd();
    void shortenedWhileAnalysed_scansWhatWasLeft();

private:
    QString write(const QByteArray &content);

    QTemporaryDir m_dir;
    int m_files = 0;
    const QStringList m_names{QStringLiteral("CreateFile"), QStringLiteral("CreateFileA"),
                              QStringLiteral("Beep"), QStringLiteral("GetProcAddress")};
    NameScanner m_scanner{m_names};
};

void tst_ExecutableAnalysis::init()
{
    QVERIFY(m_dir.isValid());
}

QString tst_ExecutableAnalysis::write(const QByteArray &content)
{
    const QString path = m_dir.filePath(QStringLiteral("file%1.bin").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

void tst_ExecutableAnalysis::emptyFile_notExecutable()
{
    const auto result = ExecutableAnalysis::analyse(write({}), m_scanner);
    QCOMPARE(result.outcome, Outcome::NotExecutable);
    QVERIFY(result.found.isEmpty());
}

void tst_ExecutableAnalysis::textWithZThird_passesAndIsScanned()
{
    const auto result = ExecutableAnalysis::analyse(write("abZ calls CreateFileA and Beep"), m_scanner);
    QCOMPARE(result.outcome, Outcome::Scanned);
    QCOMPARE(result.found, (QList<qsizetype>{0, 1, 2}));
}

void tst_ExecutableAnalysis::justMZ_passes()
{
    const auto result = ExecutableAnalysis::analyse(write("MZ"), m_scanner);
    QCOMPARE(result.outcome, Outcome::Scanned);
    QVERIFY(result.found.isEmpty());
}

void tst_ExecutableAnalysis::threeAtOffsetFour_passesAndIsScanned()
{
    const auto result = ExecutableAnalysis::analyse(write(QByteArray("\0\0\0\0\x03", 5) + "Beep"), m_scanner);
    QCOMPARE(result.outcome, Outcome::Scanned);
    QCOMPARE(result.found, (QList<qsizetype>{2}));
}

void tst_ExecutableAnalysis::plainText_notExecutable()
{
    const auto result = ExecutableAnalysis::analyse(write("A letter that mentions Beep."), m_scanner);
    QCOMPARE(result.outcome, Outcome::NotExecutable);
}

void tst_ExecutableAnalysis::realExecutable_listsImportedNames()
{
    const auto result = ExecutableAnalysis::analyse(dataFile(QStringLiteral("imports.exe")), m_scanner);
    QCOMPARE(result.outcome, Outcome::Scanned);
    QCOMPARE(result.found, (QList<qsizetype>{0, 1, 3}));
}

void tst_ExecutableAnalysis::smallPieces_sameResultAndProgressToTheEnd()
{
    const QString path = dataFile(QStringLiteral("imports.exe"));
    const qint64 size = QFileInfo(path).size();
    QList<qint64> seen;
    const auto result = ExecutableAnalysis::analyse(
        path, m_scanner,
        [&seen, size](qint64 done, qint64 total) {
            if (total != size)
                return false;
            seen.append(done);
            return true;
        },
        100);
    QCOMPARE(result.outcome, Outcome::Scanned);
    QCOMPARE(result.found, (QList<qsizetype>{0, 1, 3}));
    QCOMPARE(seen.size(), (size + 99) / 100);
    QCOMPARE(seen.constLast(), size);
    QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
}

void tst_ExecutableAnalysis::progressFalse_cancels()
{
    const auto result = ExecutableAnalysis::analyse(dataFile(QStringLiteral("imports.exe")), m_scanner,
                                                    [](qint64, qint64) { return false; }, 100);
    QCOMPARE(result.outcome, Outcome::Cancelled);
    QVERIFY(result.found.isEmpty());
}

void tst_ExecutableAnalysis::missingFile_fileNotFound()
{
    const auto result = ExecutableAnalysis::analyse(m_dir.filePath(QStringLiteral("none.exe")), m_scanner);
    QCOMPARE(result.outcome, Outcome::Failed);
    QCOMPARE(result.errorNumber, 53);
    QCOMPARE(result.errorDescription, QStringLiteral("File not found"));
    QCOMPARE(ExecutableAnalysis::analyse(QString(), m_scanner).errorNumber, 53);
}

void tst_ExecutableAnalysis::directory_refusedWithoutReading()
{
    const auto result = ExecutableAnalysis::analyse(m_dir.path(), m_scanner);
    QCOMPARE(result.outcome, Outcome::Failed);
    QCOMPARE(result.errorNumber, 75);
    QCOMPARE(result.errorDescription, QStringLiteral("Path/File access error"));
}

void tst_ExecutableAnalysis::pipe_refusedWithoutWaiting()
{
    // Nobody writes into the pipe: reading it would wait for ever.
    const QString path = m_dir.filePath(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const auto result = ExecutableAnalysis::analyse(path, m_scanner);
    QCOMPARE(result.outcome, Outcome::Failed);
    QCOMPARE(result.errorNumber, 75);
}

void tst_ExecutableAnalysis::device_refused()
{
    // /dev/zero never ends; /dev/null is empty but no file either.
    QCOMPARE(ExecutableAnalysis::analyse(QStringLiteral("/dev/zero"), m_scanner).errorNumber, 75);
    QCOMPARE(ExecutableAnalysis::analyse(QStringLiteral("/dev/null"), m_scanner).errorNumber, 75);
}

void tst_ExecutableAnalysis::unreadableFile_permissionDenied()
{
    const QString path = write("MZ Beep");
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    QVERIFY(AsNobody::searchableByEveryone(QFile::encodeName(m_dir.path()).constData()));
    // The superuser reads every file: the test reads as the user nobody.
    const AsNobody nobody;
    if (!nobody.permissionsApply())
        QSKIP("permissions do not apply to this user");
    const auto result = ExecutableAnalysis::analyse(path, m_scanner);
    QCOMPARE(result.outcome, Outcome::Failed);
    QCOMPARE(result.errorNumber, 70);
    QCOMPARE(result.errorDescription, QStringLiteral("Permission denied"));
}

void tst_ExecutableAnalysis::readFailure_deviceIoError()
{
    // The kernel's view of this process's memory is a regular file whose first bytes
    // (address 0) cannot be read: the read itself fails.
    const auto result = ExecutableAnalysis::analyse(QStringLiteral("/proc/self/mem"), m_scanner);
    QCOMPARE(result.outcome, Outcome::Failed);
    QCOMPARE(result.errorNumber, 57);
    QCOMPARE(result.errorDescription, QStringLiteral("Device I/O error"));
}

void tst_ExecutableAnalysis::errorDescriptions_areBasicOnes()
{
    QCOMPARE(ExecutableAnalysis::errorDescription(57), QStringLiteral("Device I/O error"));
    QCOMPARE(ExecutableAnalysis::errorDescription(75), QStringLiteral("Path/File access error"));
}

void tst_ExecutableAnalysis::oneByteFiles_notExecutable()
{
    // Every rule needs a byte at offset 1 or further.
    for (int byte = 0; byte < 256; ++byte) {
        const auto result = ExecutableAnalysis::analyse(write(QByteArray(1, static_cast<char>(byte))), m_scanner);
        QCOMPARE(result.outcome, Outcome::NotExecutable);
    }
}

void tst_ExecutableAnalysis::sparseFileOfFourGigabytes_scannedToItsEnd()
{
    // Beyond what 32 bits count, with a name in its last bytes; read in pieces, so memory
    // stays small however large the file.
    const QString path = m_dir.filePath(QStringLiteral("sparse.exe"));
    const qint64 size = (qint64(1) << 32) + 100;
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(size));
        QCOMPARE(file.write("MZ"), 2);
        QVERIFY(file.seek(size - 4));
        QCOMPARE(file.write("Beep"), 4);
    }
    struct rusage before = {};
    ::getrusage(RUSAGE_SELF, &before);
    qint64 last = 0;
    qint64 told = 0;
    const auto result = ExecutableAnalysis::analyse(path, m_scanner, [&](qint64 done, qint64 total) {
        last = done;
        told = total;
        return true;
    });
    struct rusage after = {};
    ::getrusage(RUSAGE_SELF, &after);
    QCOMPARE(result.outcome, Outcome::Scanned);
    QCOMPARE(result.found, (QList<qsizetype>{2}));
    QCOMPARE(last, size);
    QCOMPARE(told, size);
    QVERIFY2(after.ru_maxrss - before.ru_maxrss < 64 * 1024, "the file was held in memory"); // kilobytes
}

void tst_ExecutableAnalysis::deletedWhileAnalysed_readToItsEnd()
{
    // The open file stays readable until the analysis lets it go.
    const QString path = write("MZ" + QByteArray(300, '.') + "Beep");
    bool removed = false;
    const auto result = ExecutableAnalysis::analyse(
        path, m_scanner, [&](qint64, qint64) { return removed = removed || QFile::remove(path), true; }, 100);
    QVERIFY(removed);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(result.outcome, Outcome::Scanned);
    QCOMPARE(result.found, (QList<qsizetype>{2}));
}

void tst_ExecutableAnalysis::shortenedWhileAnalysed_scansWhatWasLeft()
{
    // The reader keeps at most a few pieces ahead of the scan: whatever it read before the
    // cut is scanned, nothing far past the cut is ever seen, and the end comes early.
    const QString path = write("MZ" + QByteArray(118, '.') + "Beep" + QByteArray(2000, '.') + "GetProcAddress");
    bool cut = false;
    QList<qint64> seen;
    const auto result = ExecutableAnalysis::analyse(
        path, m_scanner,
        [&](qint64 done, qint64) {
            seen << done;
            if (!cut)
                cut = ::truncate(QFile::encodeName(path).constData(), 150) == 0;
            return true;
        },
        100);
    QVERIFY(cut);
    QCOMPARE(result.outcome, Outcome::Scanned);
    QCOMPARE(result.found, (QList<qsizetype>{2}));
    QCOMPARE(seen.first(), 100);
    QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
    QVERIFY2(seen.last() >= 150 && seen.last() <= 500, qPrintable(QString::number(seen.last())));
}

QTEST_GUILESS_MAIN(tst_ExecutableAnalysis)
#include "tst_executableanalysis.moc"
