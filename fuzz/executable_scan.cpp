// The executable test and the one-pass name scanner against the plain way of doing the
// same: the five header rules read straight off the bytes, and one full search of the
// content per name. Names are cut from the content, nest in one another, are empty,
// null, or hold characters the code page cannot write; the scanner is fed the content in
// random pieces, after serving other names, and the whole analysis reads it from a file, in
// one pass and in two halves at once.
// The marking of pairs with the processor's vector instructions against the plain loop.
#include "find/ExecutableAnalysis.h"
#include "find/ExecutableTest.h"
#include "find/NaiveNameScan.h"
#include "find/NameScanner.h"
#include "find/PairMarks.h"
#include "platform/Windows1256.h"

#include <QFile>

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include <unistd.h>

namespace {

// The header rules as the user's world states them: not an executable only when all
// five fail, a byte past the end matching nothing.
bool looksExecutable(QByteArrayView content)
{
    auto at = [content](qsizetype i) { return i < content.size() ? int(static_cast<unsigned char>(content[i])) : -1; };
    return (at(0) == 'M' && at(1) == 'Z') || (at(12) == 0xFF && at(13) == 0xFF) || at(2) == 0x5A || at(4) == 0x03 || at(8) == 0x04;
}

QString nameFrom(FuzzedDataProvider &in, const QByteArray &content, const QStringList &earlier)
{
    const int kind = in.ConsumeIntegralInRange(0, 9);
    if (kind == 0)
        return in.ConsumeBool() ? QString() : QString(QLatin1String(""));
    if (kind <= 4 && !content.isEmpty()) { // a piece of the content, often at its very start or end;
        // up to 100 bytes, past the 64 positions the scanner checks ahead in bulk
        const auto length = std::min<qsizetype>(in.ConsumeIntegralInRange<qsizetype>(1, 100), content.size());
        const qsizetype at = in.ConsumeBool() ? in.ConsumeIntegralInRange<qsizetype>(0, content.size() - length)
                                              : in.ConsumeBool() ? 0 : content.size() - length;
        return Windows1256::decode(content.sliced(at, length));
    }
    if (kind == 5 && !earlier.isEmpty()) { // a prefix or an extension of an earlier name
        const QString &name = earlier[in.ConsumeIntegralInRange<qsizetype>(0, earlier.size() - 1)];
        return in.ConsumeBool() ? name.left(in.ConsumeIntegralInRange<qsizetype>(0, name.size()))
                                : name + Windows1256::decode(QByteArray(1, static_cast<char>(in.ConsumeIntegral<uint8_t>())));
    }
    const QString name = Windows1256::decode(QByteArray::fromStdString(in.ConsumeRandomLengthString(24)));
    return kind == 6 ? name + QChar(0x4E2D) : name; // a character without a byte in the code page
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool preparedBefore = in.ConsumeBool();
    const bool throughFile = in.ConsumeIntegralInRange(0, 3) == 0;
    const QByteArray content = QByteArray::fromStdString(in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, 1 << 14)));
    check(ExecutableTest::isExecutable(content) == looksExecutable(content), "executable test differs");
    check(ExecutableTest::isExecutable(QByteArrayView(content).first(std::min(content.size(), ExecutableTest::headerSize)))
              == looksExecutable(content), "executable test needs more than the header");

    QStringList names;
    for (int i = in.ConsumeIntegralInRange(0, 64); i > 0; --i)
        names.append(nameFrom(in, content, names));
    const qsizetype piece = in.ConsumeIntegralInRange<qsizetype>(1, in.ConsumeBool() ? 4 : 600);
    NameScanner scanner;
    if (preparedBefore) { // one matcher serves a whole run: it must forget the names it held before
        QStringList before = names;
        std::reverse(before.begin(), before.end());
        scanner.prepare(before << QStringLiteral("GetProcAddress"));
        scanner.scan(content);
    }
    scanner.prepare(names);
    // A pass reuses the tables of the last one: what it found must count again after it.
    const QByteArray half = content.sliced(content.size() / 2);
    check(scanner.scan(half) == NaiveNameScan::scan(names, half), "scan of the second half differs");
    const QList<qsizetype> expected = NaiveNameScan::scan(names, content);
    check(scanner.scan(content) == expected, "whole scan differs from one search per name");
    NameScanner::Scan scan(scanner);
    for (qsizetype at = 0; at < content.size(); at += piece) {
        scan.feed(QByteArrayView(content).sliced(at, std::min(piece, content.size() - at)));
        scan.feed(QByteArrayView()); // an empty read changes nothing
    }
    check(scan.bytesFed() == content.size(), "bytes fed miscounted");
    check(scan.finish() == expected, "scan in pieces differs from one search per name");

    std::vector<std::uint8_t> table(PairMarks::tableBytes, 0);
    for (qsizetype i = 0; i + 1 < content.size(); i += 1 + in.ConsumeIntegralInRange(0, 7)) {
        const unsigned pair = static_cast<unsigned char>(content[i]) | unsigned(static_cast<unsigned char>(content[i + 1])) << 8;
        PairMarks::set(table.data(), pair, in.ConsumeIntegralInRange<std::uint8_t>(1, 3));
    }
    const qsizetype pairs = std::max<qsizetype>(content.size() - 1, 0);
    const auto *bytes = reinterpret_cast<const unsigned char *>(content.constData());
    std::vector<std::uint64_t> starts((pairs + 63) / 64 + 1, ~0ull), ends = starts, plainStarts = starts, plainEnds = starts;
    PairMarks::ByteRanges ranges = PairMarks::rangesOf(table.data());
    ranges.threeBytes = in.ConsumeBool(); // a start or an end ruled out by the byte beside it
    PairMarks::markPlain(table.data(), ranges, bytes, pairs, plainStarts.data(), plainEnds.data());
    // Every set of vector instructions this processor has, not only the widest.
    for (const auto way : {PairMarks::Vectors::Sse2, PairMarks::Vectors::Avx2}) {
        std::fill(starts.begin(), starts.end(), ~0ull);
        std::fill(ends.begin(), ends.end(), ~0ull);
        if (PairMarks::markUsing(way, table.data(), ranges, bytes, pairs, starts.data(), ends.data()))
            check(starts == plainStarts && ends == plainEnds, "vector marks differ from the plain ones");
    }

    if (throughFile) {
        QFile file(QStringLiteral("/tmp/vorn-fuzz-scan-%1").arg(::getpid())); // this process's alone
        check(file.open(QIODevice::WriteOnly) && file.write(content) == content.size(), "cannot write the scratch file");
        file.close();
        const qsizetype readPiece = in.ConsumeIntegralInRange<qsizetype>(1, 700);
        const auto result = ExecutableAnalysis::analyse(file.fileName(), scanner, {}, readPiece);
        // In two halves at once: the same names and tables as in one pass.
        const auto inHalves = ExecutableAnalysis::analyse(file.fileName(), scanner, {}, readPiece, {}, ExecutableAnalysis::Threads::Two);
        file.remove();
        check(inHalves.outcome == result.outcome && inHalves.found == result.found
                  && inHalves.tables.has_value() == result.tables.has_value()
                  && (!result.tables || *inHalves.tables == *result.tables),
              "analysis in halves differs from one pass");
        check(result.outcome == (looksExecutable(content) ? ExecutableAnalysis::Outcome::Scanned : ExecutableAnalysis::Outcome::NotExecutable),
              "analysis outcome");
        QList<qsizetype> listed = expected; // the analysis leaves out blank names (NULs, spaces, empty)
        listed.removeIf([&names](qsizetype i) {
            return std::all_of(names[i].begin(), names[i].end(), [](QChar c) { return c.isNull() || c.isSpace(); });
        });
        check(result.outcome != ExecutableAnalysis::Outcome::Scanned || result.found == listed, "analysis differs from one search per name");
    }
    return 0;
}
