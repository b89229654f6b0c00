// analyse FILE API.mdb [--scan-only] [--full-baseline]
//
// Times the analysis of one executable against a catalogue: the program's one-pass
// scanner (reading the file in pieces, as the program does) and, as the baseline, one
// full search of the file's content per catalogue name, both measured in this run.
// stdout: the names found, one a line, in record order. stderr: the figures.
// With --scan-only the scanner runs once and only the names are printed. With
// --full-baseline the baseline searches every name however long that takes.

#include "catalogue/CatalogueStore.h"
#include "find/ExecutableAnalysis.h"
#include "find/NaiveNameScan.h"
#include "find/NameScanner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

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

int fail(const QString &message)
{
    std::fprintf(stderr, "analyse: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool scanOnly = arguments.removeAll(QStringLiteral("--scan-only")) > 0;
    const bool fullBaseline = arguments.removeAll(QStringLiteral("--full-baseline")) > 0;
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: analyse FILE API.mdb [--scan-only] [--full-baseline]\n");
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

    QElapsedTimer timer;
    timer.start();
    NameScanner scanner(names);
    const double buildSeconds = timer.nsecsElapsed() / 1e9;

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
    for (int run = 0; run < scannerRuns; ++run) {
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

    // The scanner alone, on the content already in memory: what reading the file costs.
    std::vector<double> inMemorySeconds;
    for (int run = 0; run < scannerRuns; ++run) {
        timer.restart();
        const QList<qsizetype> again = scanner.scan(content);
        inMemorySeconds.push_back(timer.nsecsElapsed() / 1e9);
        if (again != found)
            return fail(QStringLiteral("the scanner found other names in memory than from the file"));
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
    std::fprintf(stderr, "results: %s on the %lld names the baseline searched\n",
                 identical ? "identical" : "DIFFERENT", static_cast<long long>(sample));
    return identical ? 0 : 1;
}
