// window FILE [LARGE_FILE] [--cold] [--catalogue API.mdb] [--runs N]
//
// Measures how long the main window's event loop goes unanswered while the user analyses
// an executable. The real program is started in this process, its catalogue opened by its
// own start-up code (the shipped API.mdb beside the program, or the one given), with its
// file dialog answered by script. A timer of 1 ms (precise) runs all the while and records
// the longest interval between two of its firings: the longest the window could not paint,
// take a key or a click; beside it, how much of that interval this thread spent on the
// processor, which tells work from waiting (for a lock, or for a core on a busy machine).
// Each step is done as the user does it, from the View menu's analysis entry and a click
// on the browse button, and the watch goes on 60 ms after the step has returned, so that
// what the step leaves queued is counted too.
//
// Steps, each on a new window (the matcher is built once a run), median of N runs
// (default 5):
//   open+analyse  the analysis entry, one turn of the event loop, then the browse button
//                 on FILE: the first analysis of the run, the matcher that the panel
//                 began to build on being shown most likely not ready yet;
//   again         a second analysis of FILE in the same window, the matcher ready;
// on the shipped catalogue and on a synthetic one of 32767 records; then on the shipped
// one, after a first analysis of FILE, LARGE_FILE read from the page cache and, with
// --cold, after the file has been dropped from it (N/2 runs). Beside each step: its
// time, the longest gap (median and worst), where in the step the worst ended, and the
// goal (longest gap <= 50 ms). The first line is the longest gap of the idle window over
// one second, the floor that the machine's own load sets. Under each catalogue, the
// pieces of a first analysis timed apart.

#include "common/SyntheticCatalogue.h"
#include "app/PersianLook.h"
#include "app/mdlMain.h"
#include "browse/CatalogueBrowser.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueWriter.h"
#include "find/NameScanner.h"
#include "support/ScriptedPrompter.h"
#include "ui/controls/NameList.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <time.h>

namespace {

constexpr double goalMs = 50;
// After a step returns, the loop is watched this long for what the step left queued.
constexpr int tailMs = 60;

// Runs the event loop itself for a while (QTest::qWait would sleep 10 ms at a time).
void runLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// The event loop's pulse: a 1 ms timer whose longest interval between firings is the
// longest the loop went unanswered.
class GapWatch
{
public:
    GapWatch()
    {
        m_clock.start();
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start();
    }

    struct Figures
    {
        double stepMs = 0;       // from the start until the step returned
        double longestMs = 0;    // the longest gap, the watched tail included
        double longestEndMs = 0; // where that gap ended, from the start
        double longestCpuMs = 0; // the processor time of this thread within that gap
        double busiestCpuMs = 0; // the most processor time of this thread between two firings
    };

    // Does the step, then lets the loop run for the tail.
    Figures watch(const std::function<void()> &step)
    {
        m_start = m_last = m_clock.nsecsElapsed();
        m_lastCpu = threadCpu();
        m_longest = m_longestEnd = m_longestCpu = m_busiestCpu = 0;
        step();
        Figures figures;
        figures.stepMs = ms(m_clock.nsecsElapsed() - m_start);
        runLoop(tailMs);
        figures.longestMs = ms(m_longest);
        figures.longestEndMs = ms(m_longestEnd - m_start);
        figures.longestCpuMs = ms(m_longestCpu);
        figures.busiestCpuMs = ms(m_busiestCpu);
        return figures;
    }

private:
    static double ms(qint64 ns) { return static_cast<double>(ns) / 1e6; }
    static qint64 threadCpu()
    {
        timespec now = {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return now.tv_sec * 1000000000LL + now.tv_nsec;
    }
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        const qint64 cpu = threadCpu();
        if (now - m_last > m_longest) {
            m_longest = now - m_last;
            m_longestEnd = now;
            m_longestCpu = cpu - m_lastCpu;
        }
        m_busiestCpu = std::max(m_busiestCpu, cpu - m_lastCpu);
        m_last = now;
        m_lastCpu = cpu;
    }

    QElapsedTimer m_clock;
    QTimer m_timer;
    // Nanoseconds on the clock: the step's start, the last firing, the longest gap and its end.
    qint64 m_start = 0, m_last = 0, m_longest = 0, m_longestEnd = 0;
    // Nanoseconds of this thread's processor time: at the last firing, within the longest
    // gap, the most between two firings.
    qint64 m_lastCpu = 0, m_longestCpu = 0, m_busiestCpu = 0;
};

// The program started on the catalogue in the folder, its window shown, its prompts
// answered by script.
struct Program
{
    ScriptedPrompter prompter;
    std::unique_ptr<mdlMain::Program> program;

    bool start(const QString &folder, const QString &lockPath)
    {
        program = std::make_unique<mdlMain::Program>(mdlMain::Environment{folder, lockPath, &prompter});
        if (program->Main(QString()) != mdlMain::Program::Road::MainWindow)
            return false;
        frmMain *main = program->mainWindow();
        main->activateWindow();
        return QTest::qWaitForWindowExposed(main);
    }
    frmMain &main() const { return *program->mainWindow(); }

    // The View menu's analysis entry, as the menu triggers it.
    void openPanel() const { main().findChild<QAction *>(QStringLiteral("mnuAnalyse"))->trigger(); }
    // The browse button clicked, the file dialog answered with the path.
    void analyse(const QString &path)
    {
        prompter.fileAnswers.append(path);
        QPushButton *browse = main().findChild<QPushButton *>(QStringLiteral("cmdBrowse"));
        QTest::mouseClick(browse, Qt::LeftButton, {}, browse->rect().center());
    }
    // The user's word: what the analysis found, or what went wrong.
    QString outcome() const
    {
        for (const ScriptedPrompter::Message &message : prompter.messages) {
            if (message.icon == Prompter::Icon::Critical)
                return message.text.section(QLatin1Char('\r'), 0, 0);
        }
        return QStringLiteral("%1 names").arg(main().findChild<NameList *>(QStringLiteral("lstAnalyseApi"))->count());
    }
};

struct Row
{
    std::vector<GapWatch::Figures> runs;
    QString outcome;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void print(const char *what, const Row &row)
{
    std::vector<double> steps, gaps;
    double busiest = 0;
    for (const GapWatch::Figures &run : row.runs) {
        steps.push_back(run.stepMs);
        gaps.push_back(run.longestMs);
        busiest = std::max(busiest, run.busiestCpuMs);
    }
    const GapWatch::Figures &worst = *std::max_element(
        row.runs.begin(), row.runs.end(), [](const auto &a, const auto &b) { return a.longestMs < b.longestMs; });
    std::printf("  %-26s step %7.1f ms   longest gap %6.1f ms, worst %6.1f ms   goal <= %g ms: %s   [%s]\n", what,
                median(steps), median(gaps), worst.longestMs, goalMs, worst.longestMs <= goalMs ? "met" : "NOT met",
                qPrintable(row.outcome));
    std::printf("  %-26s the worst ended %.1f ms into the step, %.1f ms of it on the processor; "
                "the most processor time between two loop runs: %.1f ms\n",
                "", worst.longestEndMs, worst.longestCpuMs, busiest);
}

bool evict(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && ::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_DONTNEED) == 0;
}

// Reads the file once, so that the next read comes from the page cache.
void warm(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray piece(1 << 20, Qt::Uninitialized);
    while (file.read(piece.data(), piece.size()) > 0) {
    }
}

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// The pieces of a first analysis, each timed alone on the catalogue's names.
void printPieces(Recordset &recordset)
{
    QStringList names;
    const double walk = timeMs([&] {
        for (recordset.MoveFirst(); !recordset.atEOF(); recordset.MoveNext())
            names.append(*recordset.field(CatalogueRecord::FunctionName));
    });
    NameScanner scanner;
    const double build = timeMs([&] { scanner = NameScanner(names); });
    const double prepare = timeMs([&] { scanner.prepare(names); });
    NameList list;
    const double fill = timeMs([&] {
        list.setNames(names);
        list.doItemsLayout();
    });
    std::printf("    names walked %.1f ms; matcher built %.1f ms (on its own thread from the panel's "
                "showing); matcher checked %.1f ms; list of all %lld names filled %.1f ms\n",
                walk, build, prepare, static_cast<long long>(names.size()), fill);
}

int usage()
{
    std::fprintf(stderr, "usage: window FILE [LARGE_FILE] [--cold] [--catalogue API.mdb] [--runs N]\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    // The program's settings and instance lock go to a folder of this run's own.
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(scratch.path()));
    QApplication app(argc, argv);
    PersianLook::apply();
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool cold = args.removeAll(QStringLiteral("--cold")) > 0;
    QString shipped = CatalogueStore::databasePath(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin")));
    int runs = 5;
    for (qsizetype i = 0; i + 1 < args.size();) {
        if (args.at(i) == QLatin1String("--catalogue"))
            shipped = args.at(i + 1);
        else if (args.at(i) == QLatin1String("--runs"))
            runs = std::max(1, args.at(i + 1).toInt());
        else {
            ++i;
            continue;
        }
        args.remove(i, 2);
    }
    if (args.isEmpty() || args.size() > 2 || args.first().startsWith(QLatin1String("--")))
        return usage();
    const QString file = args.at(0);
    const QString large = args.value(1);

    // The program opens the API.mdb of its folder: each catalogue gets a folder of its own.
    const QString shippedFolder = scratch.filePath(QStringLiteral("shipped"));
    const QString syntheticFolder = scratch.filePath(QStringLiteral("synthetic"));
    QDir().mkpath(shippedFolder);
    QDir().mkpath(syntheticFolder);
    if (!QFile::copy(shipped, CatalogueStore::databasePath(shippedFolder))
        || !CatalogueWriter::write(CatalogueStore::databasePath(syntheticFolder), syntheticCatalogue(32767)).isEmpty()) {
        std::fprintf(stderr, "window: cannot copy %s or write the synthetic catalogue\n", qPrintable(shipped));
        return 1;
    }
    const QString lock = scratch.filePath(QStringLiteral("vorn.lock"));

    GapWatch watch;
    const GapWatch::Figures idle = watch.watch([] { runLoop(1000); });
    std::printf("idle window, 1 s: longest gap %.1f ms (the machine's floor)\n", idle.longestMs);

    for (const auto &[title, folder] : {std::pair{"shipped catalogue", shippedFolder},
                                        std::pair{"synthetic catalogue, 32767 records", syntheticFolder}}) {
        Row first, again;
        qsizetype records = 0;
        for (int run = 0; run < runs; ++run) {
            Program program;
            if (!program.start(folder, lock)) {
                std::fprintf(stderr, "window: the program did not start on %s\n", qPrintable(folder));
                return 1;
            }
            records = program.program->browser().recordset().RecordCount();
            first.runs.push_back(watch.watch([&] {
                program.openPanel();
                // The click is the next thing the loop takes.
                QCoreApplication::processEvents();
                program.analyse(file);
            }));
            first.outcome = program.outcome();
            again.runs.push_back(watch.watch([&] { program.analyse(file); }));
            again.outcome = program.outcome();
        }
        std::printf("%s (%lld records), %s, median of %d runs:\n", title, static_cast<long long>(records),
                    qPrintable(file), runs);
        print("open+analyse (first)", first);
        print("again (matcher ready)", again);
        Program pieces;
        if (pieces.start(folder, lock))
            printPieces(pieces.program->browser().recordset());
    }

    if (large.isEmpty())
        return 0;
    const int largeRuns = std::max(1, runs / 2);
    Row warmRow, coldRow;
    for (int run = 0; run < largeRuns; ++run) {
        Program program;
        if (!program.start(shippedFolder, lock))
            return 1;
        program.openPanel();
        program.analyse(file);
        warm(large);
        warmRow.runs.push_back(watch.watch([&] { program.analyse(large); }));
        warmRow.outcome = program.outcome();
        if (cold) {
            if (!evict(large))
                std::fprintf(stderr, "window: cannot drop %s from the page cache\n", qPrintable(large));
            coldRow.runs.push_back(watch.watch([&] { program.analyse(large); }));
            coldRow.outcome = program.outcome();
        }
    }
    std::printf("shipped catalogue, %s, matcher ready, median of %d runs:\n", qPrintable(large), largeRuns);
    print("warm (page cache)", warmRow);
    if (cold)
        print("cold (dropped from cache)", coldRow);
    return 0;
}
