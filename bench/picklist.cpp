// picklist [API.mdb] [RUNS]
//
// A module of every function that an analysis of a 64 MiB executable finds, as the pick
// list makes it when the user adds "all results". The file is made here: "MZ", then 64 MiB
// of random bytes with 2,400 names of the catalogue (default: the shipped API.mdb of the
// build) strewn through it, each once; it is analysed as the program does. The module of
// the functions found is then made in each form, RUNS times (default 11), timed from the
// records to the bytes of the file. Beside each form: the median time (the goal: under
// 100 ms) and the processor time it took, the worst time, the module's size, and the ratio
// to the time of the one-function modules of the same functions measured in the same run
// (what saving each alone would cost). Exit status 1 where a goal is not met.

#include "common/Median.h"
#include "catalogue/CatalogueStore.h"
#include "find/ExecutableAnalysis.h"
#include "find/NameScanner.h"
#include "output/ModuleExport.h"
#include "picklist/PickModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr qint64 fileSize = 64LL * 1024 * 1024;
constexpr int namesStrewn = 2400;
constexpr double goalMs = 100;

// Processor time of this thread: on a machine busy with other work it shows what the
// module costs apart from waiting for a core.
double cpuMs()
{
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

int fail(const char *message)
{
    std::fprintf(stderr, "picklist: %s\n", message);
    return 2;
}

// Random bytes, below the letters: no name appears by chance.
QByteArray executable(const QStringList &names, QRandomGenerator &rng)
{
    QByteArray content(fileSize, Qt::Uninitialized);
    for (qint64 i = 0; i < fileSize; ++i)
        content[i] = static_cast<char>(rng.bounded(0x40));
    content[0] = 'M';
    content[1] = 'Z';
    const qint64 stride = (fileSize - 64) / names.size();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QByteArray name = names[i].toLatin1();
        std::copy(name.cbegin(), name.cend(), content.begin() + 64 + i * stride + rng.bounded(stride - name.size()));
    }
    return content;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString database = arguments.size() > 1 ? arguments[1]
                                                  : QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/API.mdb");
    const int runs = arguments.size() > 2 ? std::max(1, arguments[2].toInt()) : 11;

    CatalogueStore::OpenResult opened = CatalogueStore::open(database);
    if (!opened.recordset)
        return fail("cannot open the catalogue");
    const Recordset &recordset = *opened.recordset;
    QStringList names;
    for (qsizetype position = 1; position <= recordset.RecordCount(); ++position)
        names << recordset.at(position)[CatalogueRecord::FunctionName];
    if (names.size() < namesStrewn)
        return fail("the catalogue has fewer than 2,400 functions");

    QRandomGenerator rng(20261208);
    QStringList strewn = names;
    std::shuffle(strewn.begin(), strewn.end(), rng);
    strewn.resize(namesStrewn);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.exe"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(executable(strewn, rng)) != fileSize)
        return fail("cannot write the executable");
    file.close();

    const ExecutableAnalysis::Result analysed = ExecutableAnalysis::analyse(path, NameScanner(names));
    if (analysed.outcome != ExecutableAnalysis::Outcome::Scanned)
        return fail("the analysis failed");
    std::vector<const CatalogueRecord *> functions;
    for (const qsizetype index : analysed.found)
        functions.push_back(&recordset.at(index + 1));
    std::printf("64 MiB analysed: %zu functions found, %d strewn; %d runs each\n", functions.size(), namesStrewn, runs);

    // Saving each function alone, for comparison.
    std::vector<double> singleMs;
    qsizetype singleBytes = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        singleBytes = 0;
        for (const CatalogueRecord *record : functions)
            singleBytes += ModuleExport::moduleBytes({record->fields[CatalogueRecord::FunctionName],
                                                      record->fields[CatalogueRecord::Declaration],
                                                      record->fields[CatalogueRecord::Description]},
                                                     false)
                               .size();
        singleMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double single = median(singleMs);
    std::printf("one-function modules of the same functions: %.1f ms, %.0f KiB together\n", single, singleBytes / 1024.0);

    struct Row
    {
        const char *what;
        PickModule::Options options;
    };
    const std::vector<Row> rows{
        {"classic", {PickModule::defaultName, PickModule::Form::Classic, false, false}},
        {"VBA7", {PickModule::defaultName, PickModule::Form::Vba7, false, false}},
        {"both forms", {PickModule::defaultName, PickModule::Form::Both, false, false}},
        {"both forms, comments", {PickModule::defaultName, PickModule::Form::Both, false, true}},
        {"classic, Private", {PickModule::defaultName, PickModule::Form::Classic, true, false}},
    };
    bool allMet = true;
    for (const Row &row : rows) {
        std::vector<double> ms, cpu;
        qsizetype bytes = 0;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = cpuMs();
            const PickModule::Module module = PickModule::build(functions, {}, row.options);
            bytes = PickModule::bytes(module).size();
            cpu.push_back(cpuMs() - cpuStart);
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        const double worst = *std::max_element(ms.begin(), ms.end());
        const bool met = median(ms) < goalMs;
        allMet = allMet && met;
        std::printf("  %-22s median %6.1f ms (processor %6.1f ms)  worst %6.1f ms  goal < %g ms: %-7s  %6.0f KiB  "
                    "ratio to the one-function modules %.2f\n",
                    row.what, median(ms), median(cpu), worst, goalMs, met ? "met" : "NOT met", bytes / 1024.0,
                    median(ms) / single);
    }
    return allMet ? 0 : 1;
}
