// Start-up benchmark: starts the real program (offscreen) on a synthetic catalogue of
// 32767 records shaped like the real one and on an empty one, and prints the median time
// from process start until the main window is shown and the event loop is idle, the peak
// memory, and the ratio full/empty.
//
// Usage: bench_startup [PATH_TO_VORN] [RUNS] [CATALOGUE]
//        bench_startup --write-catalogue FILE   (only writes the synthetic catalogue)
// With CATALOGUE (an API.mdb, such as the shipped build/bin/API.mdb) the full run uses
// that file instead of the synthetic one.
#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

QString randomWord(QRandomGenerator &rng, int minLength, int maxLength, const QString &alphabet)
{
    const int length = static_cast<int>(rng.bounded(minLength, maxLength + 1));
    QString word;
    for (int i = 0; i < length; ++i)
        word += alphabet.at(static_cast<int>(rng.bounded(alphabet.size())));
    return word;
}

std::vector<CatalogueRecord> syntheticCatalogue(int count)
{
    QRandomGenerator rng(20261206);
    const QString latin = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    const QString persian = QStringLiteral("ابپتثجچحخدذرزژسشصضطظعغفقکگلمنوهي");
    // About 40 first characters: capitals, a few digits-free symbols and small letters.
    const QString initials = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ_") + QStringLiteral("abcdefghijklm");

    QStringList libraries;
    for (int i = 0; i < 60; ++i)
        libraries << randomWord(rng, 4, 9, latin) + QString::number(i % 10);
    QStringList areas;
    for (int i = 0; i < 150; ++i)
        areas << randomWord(rng, 3, 8, persian) + QLatin1Char(' ') + randomWord(rng, 2, 6, persian);

    std::vector<CatalogueRecord> records;
    records.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        CatalogueRecord r;
        const QString name = initials.at(static_cast<int>(rng.bounded(initials.size())))
            + randomWord(rng, 6, 20, latin) + QString::number(i);
        const QString library = libraries.at(static_cast<int>(rng.bounded(libraries.size())));
        QString declaration = QStringLiteral("Private Declare Function ") + name + QStringLiteral(" Lib \"")
            + library + QStringLiteral("\" (");
        const int targetLength = static_cast<int>(rng.bounded(80, 201));
        while (declaration.size() < targetLength - 20)
            declaration += QStringLiteral("ByVal ") + randomWord(rng, 2, 8, latin) + QStringLiteral(" As Long, ");
        declaration += QStringLiteral("x As Any) As Long");
        QStringList mine;
        const int areaCount = static_cast<int>(rng.bounded(1, 4));
        for (int a = 0; a < areaCount; ++a)
            mine << areas.at(static_cast<int>(rng.bounded(areas.size())));
        QString description;
        const int descriptionLength = static_cast<int>(rng.bounded(200, 601));
        while (description.size() < descriptionLength)
            description += randomWord(rng, 2, 9, persian) + QLatin1Char(' ');
        r[CatalogueRecord::FunctionName] = name;
        r[CatalogueRecord::Declaration] = declaration;
        r[CatalogueRecord::Library] = library;
        r[CatalogueRecord::WorkAreas] = mine.join(workAreaSeparator);
        r[CatalogueRecord::Description] = description;
        records.push_back(std::move(r));
    }
    return records;
}

struct Run
{
    double milliseconds = 0;
    long peakKilobytes = 0;
    bool ok = false;
};

// Starts the program in its folder and waits for its "ready" line.
Run startOnce(const QString &program, const QString &scratch)
{
    Run run;
    int fds[2];
    if (pipe(fds) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);

    QByteArrayList env;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (!entry.startsWith("XDG_CONFIG_HOME=") && !entry.startsWith("XDG_RUNTIME_DIR=")
            && !entry.startsWith("QT_QPA_PLATFORM="))
            env << entry;
    }
    env << "QT_QPA_PLATFORM=offscreen" << "VORN_REPORT_READY=1"
        << "XDG_CONFIG_HOME=" + QFile::encodeName(scratch) << "XDG_RUNTIME_DIR=" + QFile::encodeName(scratch);
    std::vector<char *> envp;
    for (QByteArray &entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    QByteArray path = QFile::encodeName(program);
    char *argv[] = {path.data(), nullptr};

    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, path.constData(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return run;
    }
    QByteArray out;
    char buffer[256];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) {
        out.append(buffer, n);
        if (out.contains("ready") && out.endsWith('\n')) {
            run.milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            // "ready <peak> kB": the program's own high-water mark of resident memory.
            const QList<QByteArray> words = out.mid(out.indexOf("ready")).simplified().split(' ');
            run.peakKilobytes = words.size() > 1 ? words.at(1).toLong() : 0;
            break;
        }
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.ok = out.contains("ready") && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

struct Figures
{
    double medianMs = 0;
    long peakKb = 0;
};

Figures measure(const QString &program, const QString &scratch, int runs)
{
    std::vector<double> times;
    long peak = 0;
    for (int i = 0; i < runs; ++i) {
        const Run run = startOnce(program, scratch);
        if (!run.ok) {
            std::fprintf(stderr, "run failed: %s\n", qPrintable(program));
            std::exit(1);
        }
        times.push_back(run.milliseconds);
        peak = std::max(peak, run.peakKilobytes);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], peak};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--write-catalogue"))
        return CatalogueWriter::write(args.at(2), syntheticCatalogue(32767)).isEmpty() ? 0 : 1;
    const QString program = args.size() > 1 ? args.at(1)
                                            : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin/vorn"));
    const int runs = args.size() > 2 ? args.at(2).toInt() : 7;

    QTemporaryDir root;
    const QString fullDir = root.filePath(QStringLiteral("full"));
    const QString emptyDir = root.filePath(QStringLiteral("empty"));
    const QString scratch = root.filePath(QStringLiteral("scratch"));
    QDir().mkpath(fullDir);
    QDir().mkpath(emptyDir);
    QDir().mkpath(scratch);
    QFile::setPermissions(scratch, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The program finds its catalogue beside itself, so each folder gets a copy of it.
    for (const QString &dir : {fullDir, emptyDir}) {
        if (!QFile::copy(program, QDir(dir).filePath(QStringLiteral("vorn")))) {
            std::fprintf(stderr, "cannot copy %s\n", qPrintable(program));
            return 1;
        }
    }
    const QString given = args.size() > 3 ? args.at(3) : QString();
    const bool written = given.isEmpty()
        ? CatalogueWriter::write(CatalogueStore::databasePath(fullDir), syntheticCatalogue(32767)).isEmpty()
        : QFile::copy(given, CatalogueStore::databasePath(fullDir));
    if (!written || !CatalogueWriter::write(CatalogueStore::databasePath(emptyDir), {}).isEmpty()) {
        std::fprintf(stderr, "cannot write the catalogues\n");
        return 1;
    }

    const Figures empty = measure(QDir(emptyDir).filePath(QStringLiteral("vorn")), scratch, runs);
    const Figures full = measure(QDir(fullDir).filePath(QStringLiteral("vorn")), scratch, runs);
    std::printf("start-up, median of %d runs, until the main window is shown and idle\n", runs);
    std::printf("  empty catalogue      : %8.1f ms   peak %6.1f MB\n", empty.medianMs, empty.peakKb / 1024.0);
    if (given.isEmpty())
        std::printf("  32767-record catalogue: %7.1f ms   peak %6.1f MB\n", full.medianMs, full.peakKb / 1024.0);
    else
        std::printf("  catalogue %s: %.1f ms   peak %6.1f MB\n", qPrintable(given), full.medianMs, full.peakKb / 1024.0);
    std::printf("  ratio full/empty     : %8.2f   (target <= 3)\n", full.medianMs / empty.medianMs);
    std::printf("  peak memory, full    : %8.1f MB (target < 160)\n", full.peakKb / 1024.0);
    return 0;
}
