// analyse FILE API.mdb [--scan-only] [--full-baseline] [--near-miss] [--cold]
// analyse --corpus DIR API.mdb [--vectors none|sse2|avx2]
//
// Times the analysis of one executable against a catalogue: the program's one-pass
// scanner (reading the file in pieces, as the program does) and, as the baseline, one
// full search of the file's content per catalogue name, both measured in this run; beside
// them the floor of reading the file and touching every byte, and (when built with
// VORN_BENCH_VECTORSCAN) Vectorscan's literal matcher on the same names.
// stdout: the names found, one a line, in record order. stderr: the figures.
// With --scan-only the scanner runs once and only the names are printed. With
// --full-baseline the baseline searches every name however long that takes. With
// --near-miss the names are not the catalogue's but pieces of the file's own text with
// their last byte changed: names that share long prefixes with what the scanner reads.
// With --cold the file is dropped from the page cache before every timed read.
// With --corpus every executable in DIR (bench/make-pe-corpus.sh makes one) is timed in
// turn: the scanner in memory against Vectorscan (one thread each), the analysis from the
// file on one thread and on the threads the program chooses against the floor, and the
// reading of the PE tables against the analysis; then the worst file of each and the sums
// over the corpus. The columns are explained where they are printed.

#include "catalogue/CatalogueStore.h"
#include "find/ExecutableAnalysis.h"
#include "find/NaiveNameScan.h"
#include "find/NameScanner.h"
#include "find/PairMarks.h"
#include "find/PeImage.h"
#include "find/ExecutableTest.h"

#include <QDir>

#ifdef VORN_BENCH_VECTORSCAN
#include <hs.h>
#endif

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int scannerRuns = 7;
constexpr int baselineRuns = 3;
// The baseline on every name can take minutes; above this estimate it is timed on an
// evenly spaced sample of the names and scaled up to all of them.
constexpr double baselineBudgetSeconds = 20.0;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void printNames(const QStringList &names, const QList<qsizetype> &found)
{
    QByteArray out;
    for (const qsizetype i : found)
        out += names[i].toUtf8() + '\n';
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
}

// Processor time of this process: under a loaded machine it shows what the work costs
// apart from waiting for a core.
double cpuSeconds()
{
    timespec now = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// Processor time of the calling thread: the matchers compared in memory are timed by it,
// so that time the thread spent waiting while other work held the core is not counted
// against either (wall-clock ratios of two short runs swung by half on a shared machine).
double threadSeconds()
{
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "analyse: %s\n", qPrintable(message));
    return 2;
}


// Drops the file's pages from the page cache, so that the next read comes from the disk.
void evict(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// The floor: reading the file in the program's pieces and touching every byte once.
double readAndTouchSeconds(const QString &path, unsigned &sink)
{
    QElapsedTimer timer;
    timer.start();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    QByteArray piece(ExecutableAnalysis::defaultPieceSize, Qt::Uninitialized);
    ssize_t n;
    while ((n = ::read(fd, piece.data(), static_cast<size_t>(piece.size()))) > 0) {
        const auto *bytes = reinterpret_cast<const unsigned char *>(piece.constData());
        unsigned sum = 0;
        for (ssize_t i = 0; i < n; ++i)
            sum += bytes[i];
        sink += sum;
    }
    ::close(fd);
    return timer.nsecsElapsed() / 1e9;
}

// Pieces of the file's own text, 8 to 32 bytes from printable runs, with the last byte
// changed: each shares a long prefix with the file, and few occur whole.
QStringList nearMissNames(const QByteArray &content, qsizetype count)
{
    QRandomGenerator rng(20261207);
    QStringList names;
    for (int tries = 0; names.size() < count && tries < count * 50 && content.size() > 64; ++tries) {
        const qsizetype length = rng.bounded(8, 33);
        const qsizetype at = rng.bounded(content.size() - length);
        QByteArray piece = content.mid(at, length);
        bool printable = true;
        for (const char c : piece)
            printable = printable && c >= 0x21 && c < 0x7F;
        if (!printable)
            continue;
        piece.back() = piece.back() == 'z' ? 'y' : 'z';
        names.append(QString::fromLatin1(piece));
    }
    return names;
}

#ifdef VORN_BENCH_VECTORSCAN
// Vectorscan on the same names, as literals, each reported once; the names are Latin
// bytes, as the code page gives them. Compiled once; scanOnce() is timed beside the
// scanner's own runs, in turn, so that the machine's other work weighs on both alike.
class Vectorscan
{
public:
    explicit Vectorscan(const QStringList &names)
        : m_seen(static_cast<size_t>(names.size()), 0)
    {
        std::vector<QByteArray> literals;
        std::vector<const char *> expressions;
        std::vector<size_t> lengths;
        std::vector<unsigned> flags, ids;
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (names[i].isEmpty())
                continue;
            literals.push_back(names[i].toLatin1());
            ids.push_back(static_cast<unsigned>(i));
        }
        for (const QByteArray &literal : literals) {
            expressions.push_back(literal.constData());
            lengths.push_back(static_cast<size_t>(literal.size()));
            flags.push_back(HS_FLAG_SINGLEMATCH);
        }
        QElapsedTimer timer;
        timer.start();
        hs_compile_error_t *error = nullptr;
        if (hs_compile_lit_multi(expressions.data(), flags.data(), ids.data(), lengths.data(),
                                 static_cast<unsigned>(expressions.size()), HS_MODE_BLOCK, nullptr, &m_database, &error)
            != HS_SUCCESS) {
            hs_free_compile_error(error);
            m_database = nullptr;
            return;
        }
        compileSeconds = timer.nsecsElapsed() / 1e9;
        hs_alloc_scratch(m_database, &m_scratch);
    }
    ~Vectorscan()
    {
        hs_free_scratch(m_scratch);
        hs_free_database(m_database);
    }
    Q_DISABLE_COPY_MOVE(Vectorscan)

    bool ok() const { return m_database != nullptr; }

    // Scans the content once: the seconds it took.
    double scanOnce(const QByteArray &content)
    {
        std::fill(m_seen.begin(), m_seen.end(), 0);
        QElapsedTimer timer;
        timer.start();
        hs_scan(m_database, content.constData(), static_cast<unsigned>(content.size()), 0, m_scratch,
                [](unsigned id, unsigned long long, unsigned long long, unsigned, void *context) {
                    static_cast<char *>(context)[id] = 1;
                    return 0;
                },
                m_seen.data());
        return timer.nsecsElapsed() / 1e9;
    }

    // The names the last scan found, ascending.
    QList<qsizetype> found() const
    {
        QList<qsizetype> indices;
        for (size_t i = 0; i < m_seen.size(); ++i) {
            if (m_seen[i])
                indices.append(static_cast<qsizetype>(i));
        }
        return indices;
    }

    double compileSeconds = 0;

private:
    hs_database_t *m_database = nullptr;
    hs_scratch_t *m_scratch = nullptr;
    std::vector<char> m_seen;
};
#endif

// The figures of one file: the least seconds of one pass of each way, over the runs. On
// a machine that other work shares, the least time is the one that other work disturbed
// least; a median still carries it.
struct FileFigures
{
    double floor = 0, one = 0, two = 0, automatic = 0, inMemory = 0, vectorscan = 0, tables = 0;
};

// The worst file of one ratio.
struct Worst
{
    double ratio = 0;
    QString file;
    double vsFloor = 0; // that file's vs/floor
    void take(double r, const QString &name, double vs = 0)
    {
        if (r > ratio) {
            ratio = r;
            file = name;
            vsFloor = vs;
        }
    }
};

int corpus(const QString &folder, [[maybe_unused]] const QStringList &names, const NameScanner &scanner)
{
    constexpr int runs = 7;
    constexpr int matcherTurns = 3;
    using ExecutableAnalysis::Threads;
#ifdef VORN_BENCH_VECTORSCAN
    Vectorscan hs(names);
    if (!hs.ok())
        return fail(QStringLiteral("Vectorscan cannot compile the names"));
#endif
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    FileFigures sum;
    Worst worstScan, worstOne, worstAutomatic, worstTables, worstAutomaticVs;
    unsigned sink = 0;
    bool identical = true;
    // Columns, all ratios of times measured in this run:
    //   scan/vs     the scanner on the content in memory, one thread, against Vectorscan on
    //               the same content, one thread: the like-for-like comparison of matchers,
    //               each timed by the processor time of its thread, taken in turn
    //   one/floor   the analysis from the file on one thread (the reading ahead aside)
    //               against reading the file and touching every byte
    //   auto/floor  the same with the program's own choice of threads (two cores here):
    //               wall-clock time, two threads against the floor's one
    //   two/one     the analysis forced onto two threads at any size against one: below
    //               1 the second thread pays, above it its waking costs more than it saves
    //   auto/vs     the analysis from the file as the user waits for it against Vectorscan
    //               in memory on one thread: NOT like for like (two threads, and the reading)
    //   tables/one  reading the PE tables against the analysis on one thread: what they
    //               add, read after the scan from the pages it read
    //   vs/floor    how far above the floor the comparison's own matcher is: a scanner at
    //               par with it on one thread cannot come nearer the floor than that
    double load[3] = {0, 0, 0};
    ::getloadavg(load, 3);
    std::fprintf(stderr, "cores: %d, load average %.1f (other work shares them: two threads then gain less); "
                         "two threads sharing the pieces from %lld bytes\n",
                 std::max(1, int(std::thread::hardware_concurrency())), load[0], static_cast<long long>(ExecutableAnalysis::splitFrom));
    std::fprintf(stderr, "%-32s %8s %7s %7s %8s %9s %10s %7s %7s %10s %8s %8s\n", "file", "KB", "imports", "exports",
                 "scan/vs", "one/floor", "auto/floor", "two/one", "auto/vs", "tables/one", "vs/floor", "one µs");
    for (const QFileInfo &info : files) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray content = file.readAll();
        if (!ExecutableTest::isExecutable(content))
            continue;
        // Small files are timed over several passes, so that each time is long enough to read.
        const int passes = int(std::clamp<qint64>(8'000'000 / std::max<qint64>(content.size(), 1), 1, 2000));
        std::vector<double> floor, one, two, automatic, inMemory, vectorscan, tables;
        QElapsedTimer timer;
        const std::optional<PeImage::Tables> read = PeImage::read(content);
        const QList<qsizetype> expected = scanner.scan(content);
        const auto analysis = [&](Threads threads, std::vector<double> &into) {
            timer.restart();
            for (int k = 0; k < passes; ++k) {
                const ExecutableAnalysis::Result result = ExecutableAnalysis::analyse(
                    info.filePath(), scanner, {}, ExecutableAnalysis::defaultPieceSize, {}, threads);
                identical = identical && result.found == expected && result.tables.has_value() == read.has_value();
            }
            into.push_back(timer.nsecsElapsed() / 1e9 / passes);
        };
        for (int run = 0; run < runs; ++run) {
            double seconds = 0;
            for (int k = 0; k < passes; ++k)
                seconds += readAndTouchSeconds(info.filePath(), sink);
            floor.push_back(seconds / passes);
            analysis(Threads::One, one);
            analysis(Threads::Two, two);
            analysis(Threads::Automatic, automatic);
            // The two matchers in memory, in turn, a few times a run: each timed by the
            // thread's own processor time.
            for (int turn = 0; turn < matcherTurns; ++turn) {
                double started = threadSeconds();
                for (int k = 0; k < passes; ++k)
                    sink += unsigned(scanner.scan(content).size());
                inMemory.push_back((threadSeconds() - started) / passes);
#ifdef VORN_BENCH_VECTORSCAN
                started = threadSeconds();
                for (int k = 0; k < passes; ++k)
                    hs.scanOnce(content);
                vectorscan.push_back((threadSeconds() - started) / passes);
                identical = identical && hs.found() == expected;
#endif
            }
            timer.restart();
            for (int k = 0; k < passes; ++k)
                sink += unsigned(PeImage::read(content).has_value());
            tables.push_back(timer.nsecsElapsed() / 1e9 / passes);
        }
        const auto least = [](const std::vector<double> &v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); };
        FileFigures f{least(floor), least(one), least(two), least(automatic), least(inMemory), least(vectorscan), least(tables)};
        sum.floor += f.floor;
        sum.one += f.one;
        sum.two += f.two;
        sum.automatic += f.automatic;
        sum.inMemory += f.inMemory;
        sum.vectorscan += f.vectorscan;
        sum.tables += f.tables;
        const double scanVs = f.vectorscan > 0 ? f.inMemory / f.vectorscan : 0;
        const double automaticVs = f.vectorscan > 0 ? f.automatic / f.vectorscan : 0;
        const QString name = info.fileName();
        worstScan.take(scanVs, name);
        worstOne.take(f.one / f.floor, name);
        worstAutomatic.take(f.automatic / f.floor, name, f.vectorscan / f.floor);
        worstAutomaticVs.take(automaticVs, name);
        worstTables.take(f.tables / f.one, name);
        std::fprintf(stderr, "%-32s %8.0f %7s %7s %8.2f %9.2f %10.2f %7.2f %7.2f %10.3f %8.2f %8.0f\n", qPrintable(name),
                     content.size() / 1e3, read ? qPrintable(QString::number(read->imports.size())) : "-",
                     read ? qPrintable(QString::number(read->exports.size())) : "-", scanVs, f.one / f.floor,
                     f.automatic / f.floor, f.two / f.one, automaticVs, f.tables / f.one, f.vectorscan / f.floor, f.one * 1e6);
    }
    std::fprintf(stderr, "worst: scan/vs %.3f (%s, target <= 1.0); one/floor %.2f (%s); auto/floor %.2f (%s, where Vectorscan "
                         "alone is %.2f); auto/vs %.2f (%s); tables/one %.3f (%s, target <= 0.05)\n",
                 worstScan.ratio, qPrintable(worstScan.file), worstOne.ratio, qPrintable(worstOne.file), worstAutomatic.ratio,
                 qPrintable(worstAutomatic.file), worstAutomatic.vsFloor, worstAutomaticVs.ratio, qPrintable(worstAutomaticVs.file),
                 worstTables.ratio, qPrintable(worstTables.file));
    std::fprintf(stderr, "whole corpus: scan/vs %.3f; one/floor %.2f; auto/floor %.2f (target <= 2); two/one %.2f; auto/vs %.2f; "
                         "tables/one %.3f; vs/floor %.2f%s\n",
                 sum.vectorscan > 0 ? sum.inMemory / sum.vectorscan : 0, sum.one / sum.floor, sum.automatic / sum.floor,
                 sum.two / sum.one, sum.vectorscan > 0 ? sum.automatic / sum.vectorscan : 0, sum.tables / sum.one,
                 sum.vectorscan / sum.floor, sink == 1 ? " " : "");
    std::fprintf(stderr, "results: %s (one thread, two, automatic%s, each against the scanner in memory)\n",
                 identical ? "identical" : "DIFFERENT",
#ifdef VORN_BENCH_VECTORSCAN
                 " and Vectorscan"
#else
                 ""
#endif
    );
    return identical ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool scanOnly = arguments.removeAll(QStringLiteral("--scan-only")) > 0;
    const bool fullBaseline = arguments.removeAll(QStringLiteral("--full-baseline")) > 0;
    const bool nearMiss = arguments.removeAll(QStringLiteral("--near-miss")) > 0;
    const bool cold = arguments.removeAll(QStringLiteral("--cold")) > 0;
    const bool wholeCorpus = arguments.removeAll(QStringLiteral("--corpus")) > 0;
    // --vectors none|sse2: the scanner's marking kept to narrower vector instructions than
    // the processor's widest, to compare them.
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--vectors")); at >= 0 && at + 1 < arguments.size()) {
        const QString way = arguments.takeAt(at + 1);
        arguments.removeAt(at);
        PairMarks::limitVectors(way == QLatin1String("none")   ? PairMarks::Vectors::None
                                : way == QLatin1String("sse2") ? PairMarks::Vectors::Sse2
                                                                : PairMarks::Vectors::Avx2);
    }
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: analyse FILE API.mdb [--scan-only] [--full-baseline] [--near-miss] [--cold]\n"
                             "       analyse --corpus DIR API.mdb [--vectors none|sse2|avx2]\n");
        return 2;
    }
    const QString path = arguments[0];

    CatalogueStore::OpenResult opened = CatalogueStore::open(arguments[1]);
    if (!opened.recordset)
        return fail(QStringLiteral("cannot open the catalogue: ") + opened.errorDescription);
    Recordset &recordset = *opened.recordset;
    QStringList names;
    for (recordset.MoveFirst(); !recordset.atEOF(); recordset.MoveNext())
        names.append(recordset.current()->fields[CatalogueRecord::FunctionName]);
    if (nearMiss) {
        QFile whole(path);
        if (!whole.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read ") + path);
        names = nearMissNames(whole.readAll(), names.size());
    }

    QElapsedTimer timer;
    timer.start();
    NameScanner scanner(names);
    const double buildSeconds = timer.nsecsElapsed() / 1e9;

    if (wholeCorpus)
        return corpus(path, names, scanner);
    const auto analyseOnce = [&] { return ExecutableAnalysis::analyse(path, scanner); };
    if (scanOnly) {
        const ExecutableAnalysis::Result result = analyseOnce();
        if (result.outcome != ExecutableAnalysis::Outcome::Scanned)
            return fail(result.outcome == ExecutableAnalysis::Outcome::NotExecutable
                            ? QStringLiteral("not an executable file")
                            : result.errorDescription);
        printNames(names, result.found);
        return 0;
    }

    std::vector<double> scannerSeconds;
    std::vector<double> scannerCpuSeconds;
    QList<qsizetype> found;
    std::vector<double> floorSeconds;
    unsigned sink = 0;
    for (int run = 0; run < scannerRuns; ++run) {
        // The floor and the scanner in turn, so that the machine's other work weighs on both.
        if (cold)
            evict(path);
        floorSeconds.push_back(readAndTouchSeconds(path, sink));
        if (cold)
            evict(path);
        const double cpuBefore = cpuSeconds();
        timer.restart();
        const ExecutableAnalysis::Result result = analyseOnce();
        scannerSeconds.push_back(timer.nsecsElapsed() / 1e9);
        scannerCpuSeconds.push_back(cpuSeconds() - cpuBefore);
        if (result.outcome != ExecutableAnalysis::Outcome::Scanned)
            return fail(result.outcome == ExecutableAnalysis::Outcome::NotExecutable
                            ? QStringLiteral("not an executable file")
                            : result.errorDescription);
        found = result.found;
    }
    printNames(names, found);

    // The baseline holds the whole file in memory, as the one-search-per-name method does.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read ") + path);
    const QByteArray content = file.readAll();
    const double megabytes = content.size() / 1e6;

    // The scanner alone, on the content already in memory: what reading the file costs;
    // Vectorscan's runs, when built in, in turn with the scanner's.
#ifdef VORN_BENCH_VECTORSCAN
    Vectorscan hs(names);
    std::vector<double> hsSeconds;
#endif
    std::vector<double> inMemorySeconds;
    for (int run = 0; run < scannerRuns; ++run) {
        timer.restart();
        const QList<qsizetype> again = scanner.scan(content);
        inMemorySeconds.push_back(timer.nsecsElapsed() / 1e9);
        if (again != found)
            return fail(QStringLiteral("the scanner found other names in memory than from the file"));
#ifdef VORN_BENCH_VECTORSCAN
        if (hs.ok())
            hsSeconds.push_back(hs.scanOnce(content));
#endif
    }

    // Estimate from a small sample how long all names would take, then choose the sample.
    const qsizetype total = names.size();
    qsizetype probe = std::min<qsizetype>(total, 50);
    timer.restart();
    for (qsizetype k = 0; k < probe; ++k)
        NaiveNameScan::occurs(names[k * total / std::max<qsizetype>(probe, 1)], content);
    const double perName = probe ? timer.nsecsElapsed() / 1e9 / probe : 0;
    qsizetype sample = total;
    if (!fullBaseline && perName * total * baselineRuns > baselineBudgetSeconds)
        sample = std::clamp<qsizetype>(qsizetype(baselineBudgetSeconds / baselineRuns / perName), 1, total);

    std::vector<qsizetype> sampled;
    for (qsizetype k = 0; k < sample; ++k)
        sampled.push_back(k * total / sample);
    std::vector<double> baselineSeconds;
    QList<qsizetype> baselineFound;
    for (int run = 0; run < baselineRuns; ++run) {
        baselineFound.clear();
        timer.restart();
        for (const qsizetype i : sampled) {
            if (NaiveNameScan::occurs(names[i], content))
                baselineFound.append(i);
        }
        baselineSeconds.push_back(timer.nsecsElapsed() / 1e9 * double(total) / double(sample));
    }

    // Compare on the names the baseline searched.
    QList<qsizetype> scannerOnSample;
    std::set_intersection(found.cbegin(), found.cend(), sampled.cbegin(), sampled.cend(),
                          std::back_inserter(scannerOnSample));
    const bool identical = scannerOnSample == baselineFound;

    const double scan = median(scannerSeconds);
    const double base = median(baselineSeconds);
    std::fprintf(stderr, "file: %s, %.1f MB; catalogue: %lld names, %lld found\n", qPrintable(path),
                 megabytes, static_cast<long long>(total), static_cast<long long>(found.size()));
    std::fprintf(stderr, "matcher built once: %.3f s\n", buildSeconds);
    std::fprintf(stderr, "scanner:  median %.3f s of %d runs, %.0f MB/s (processor time %.3f s; "
                         "on the content in memory %.3f s)\n",
                 scan, scannerRuns, megabytes / scan, median(scannerCpuSeconds), median(inMemorySeconds));
    std::fprintf(stderr, "baseline: median %.3f s of %d runs, %.1f MB/s%s\n", base, baselineRuns,
                 megabytes / base,
                 sample < total ? qPrintable(QStringLiteral(" (timed on %1 evenly spaced names of %2, scaled up)")
                                                 .arg(sample).arg(total))
                                : "");
    std::fprintf(stderr, "ratio: scanner %.0fx faster than the baseline\n", base / scan);
    const double floor = median(floorSeconds);
    std::fprintf(stderr, "floor (read%s and touch every byte): median %.3f s; scanner / floor %.2f (target <= %s)%s\n",
                 cold ? " from the disk" : "", floor, scan / floor, cold ? "1.3" : "4", sink == 1 ? " " : "");
#ifdef VORN_BENCH_VECTORSCAN
    if (hs.ok()) {
        const double inMemory = median(inMemorySeconds);
        const double hsScan = median(hsSeconds);
        std::fprintf(stderr, "vectorscan: compile %.3f s, scan in memory %.3f s; scanner in memory / vectorscan %.2f "
                             "(target <= %s); results %s\n",
                     hs.compileSeconds, hsScan, inMemory / hsScan, nearMiss ? "1.5" : "1",
                     hs.found() == found ? "identical" : "DIFFERENT");
    }
#endif
    std::fprintf(stderr, "results: %s on the %lld names the baseline searched\n",
                 identical ? "identical" : "DIFFERENT", static_cast<long long>(sample));
    return identical ? 0 : 1;
}
