// Start-up benchmark: starts the real program (offscreen) on a synthetic catalogue of
// 32767 records shaped like the real one and on an empty one, and prints the median time
// from process start until the main window is shown and the event loop is idle, the peak
// memory, and the ratio full/empty.
//
// Usage: bench_startup [PATH_TO_VORN] [RUNS] [CATALOGUE]
//        bench_startup --write-catalogue FILE   (only writes the synthetic catalogue)
// With CATALOGUE (an API.mdb, such as the shipped build/bin/API.mdb) the full run uses
// that file instead of the synthetic one.
#include "common/SyntheticCatalogue.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

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

Figures summarise(std::vector<double> times, long peak)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], peak};
}

Run startOrExit(const QString &program, const QString &scratch)
{
    const Run run = startOnce(program, scratch);
    if (!run.ok) {
        std::fprintf(stderr, "run failed: %s\n", qPrintable(program));
        std::exit(1);
    }
    return run;
}

// Runs the two programs in turn, empty then full, so that whatever else the machine does
// meanwhile weighs on both alike.
std::pair<Figures, Figures> measureInterleaved(const QString &empty, const QString &full, const QString &scratch,
                                               int runs)
{
    std::vector<double> emptyTimes, fullTimes;
    long emptyPeak = 0, fullPeak = 0;
    for (int i = 0; i < runs; ++i) {
        const Run e = startOrExit(empty, scratch);
        const Run f = startOrExit(full, scratch);
        emptyTimes.push_back(e.milliseconds);
        fullTimes.push_back(f.milliseconds);
        emptyPeak = std::max(emptyPeak, e.peakKilobytes);
        fullPeak = std::max(fullPeak, f.peakKilobytes);
    }
    return {summarise(emptyTimes, emptyPeak), summarise(fullTimes, fullPeak)};
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

    const auto [empty, full] = measureInterleaved(QDir(emptyDir).filePath(QStringLiteral("vorn")),
                                                  QDir(fullDir).filePath(QStringLiteral("vorn")), scratch, runs);
    std::printf("start-up, median of %d interleaved runs each, until the main window is shown and idle\n", runs);
    std::printf("  empty catalogue      : %8.1f ms   peak %6.1f MB\n", empty.medianMs, empty.peakKb / 1024.0);
    if (given.isEmpty())
        std::printf("  32767-record catalogue: %7.1f ms   peak %6.1f MB\n", full.medianMs, full.peakKb / 1024.0);
    else
        std::printf("  catalogue %s: %.1f ms   peak %6.1f MB\n", qPrintable(given), full.medianMs, full.peakKb / 1024.0);
    std::printf("  ratio full/empty     : %8.2f   (target <= 3)\n", full.medianMs / empty.medianMs);
    std::printf("  peak memory, full    : %8.1f MB (target < 160)\n", full.peakKb / 1024.0);
    return 0;
}
