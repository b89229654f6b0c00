// The executable test and the one-pass name scanner against the plain way of doing the
// same: the five header rules read straight off the bytes, and one full search of the
// content per name. Names are cut from the content, nest in one another, are empty,
// null, or hold characters the code page cannot write; the scanner is fed the content in
// random pieces, and the whole analysis reads it back from a file. Any difference aborts.
#include "find/ExecutableAnalysis.h"
#include "find/ExecutableTest.h"
#include "find/NaiveNameScan.h"
#include "find/NameScanner.h"
#include "platform/Windows1256.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// The header rules as the user's world states them: not an executable only when all
// five fail, a byte past the end matching nothing.
bool looksExecutable(QByteArrayView content)
{
    auto at = [content](qsizetype i) { return i < content.size() ? int(static_cast<unsigned char>(content[i])) : -1; };
    const bool notExecutable = !(at(0) == 'M' && at(1) == 'Z') && !(at(12) == 0xFF && at(13) == 0xFF)
        && at(2) != 0x5A && at(4) != 0x03 && at(8) != 0x04;
    return !notExecutable;
}

QString nameFrom(FuzzedDataProvider &in, const QByteArray &content, const QStringList &earlier)
{
    switch (in.ConsumeIntegralInRange(0, 9)) {
    case 0:
        return QString();
    case 1:
        return QString(QLatin1String(""));
    case 2:
    case 3:
    case 4:
        if (!content.isEmpty()) {
            // A piece of the content, often at its very start or end.
            const auto length = std::min<qsizetype>(in.ConsumeIntegralInRange<qsizetype>(1, 40), content.size());
            qsizetype at = in.ConsumeIntegralInRange<qsizetype>(0, content.size() - length);
            if (in.ConsumeBool())
                at = in.ConsumeBool() ? 0 : content.size() - length;
            return Windows1256::decode(content.sliced(at, length));
        }
        break;
    case 5:
        if (!earlier.isEmpty()) {
            // A prefix or an extension of an earlier name: names that nest.
            const QString &name = earlier[in.ConsumeIntegralInRange<qsizetype>(0, earlier.size() - 1)];
            if (in.ConsumeBool())
                return name.left(in.ConsumeIntegralInRange<qsizetype>(0, name.size()));
            return name + Windows1256::decode(QByteArray(1, static_cast<char>(in.ConsumeIntegral<uint8_t>())));
        }
        break;
    case 6: {
        // A character without a byte in the code page, among others that have one.
        const std::string bytes = in.ConsumeRandomLengthString(8);
        return Windows1256::decode(QByteArray::fromStdString(bytes)) + QChar(0x4E2D);
    }
    default:
        break;
    }
    return Windows1256::decode(QByteArray::fromStdString(in.ConsumeRandomLengthString(24)));
}

// A file of this process alone, removed after each use.
QString scratchFile()
{
    return QStringLiteral("/tmp/vorn-fuzz-scan-%1").arg(::getpid());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool preparedBefore = in.ConsumeBool();
    const bool throughFile = in.ConsumeIntegralInRange(0, 3) == 0;
    const QByteArray content = QByteArray::fromStdString(
        in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, 1 << 14)));

    check(ExecutableTest::isExecutable(content) == looksExecutable(content), "executable test differs");
    check(ExecutableTest::isExecutable(QByteArrayView(content).first(std::min(content.size(), ExecutableTest::headerSize)))
              == looksExecutable(content),
          "executable test needs more than the header");

    QStringList names;
    const int count = in.ConsumeIntegralInRange(0, 64);
    for (int i = 0; i < count; ++i)
        names.append(nameFrom(in, content, names));
    std::vector<qsizetype> pieces;
    const int pieceCount = in.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < pieceCount; ++i)
        pieces.push_back(in.ConsumeIntegralInRange<qsizetype>(1, in.ConsumeBool() ? 4 : 600));

    NameScanner scanner;
    if (preparedBefore) {
        // One matcher serves a whole run: it must forget the names it held before.
        QStringList before = names;
        std::reverse(before.begin(), before.end());
        before.append(QStringLiteral("GetProcAddress"));
        scanner.prepare(before);
        scanner.scan(content);
    }
    scanner.prepare(names);

    const QList<qsizetype> expected = NaiveNameScan::scan(names, content);
    check(scanner.scan(content) == expected, "whole scan differs from one search per name");

    NameScanner::Scan scan(scanner);
    qsizetype at = 0;
    for (size_t i = 0; at < content.size(); ++i) {
        const qsizetype piece = std::min(pieces[i % pieces.size()], content.size() - at);
        scan.feed(QByteArrayView(content).sliced(at, piece));
        if (i % 3 == 2)
            scan.feed(QByteArrayView()); // an empty read changes nothing
        at += piece;
    }
    check(scan.bytesFed() == content.size(), "bytes fed miscounted");
    check(scan.finish() == expected, "scan in pieces differs from one search per name");

    if (throughFile) {
        QFile file(scratchFile());
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size(),
              "cannot write the scratch file");
        file.close();
        const ExecutableAnalysis::Result result = ExecutableAnalysis::analyse(
            file.fileName(), scanner, {}, in.ConsumeIntegralInRange<qsizetype>(1, 700));
        file.remove();
        if (!looksExecutable(content)) {
            check(result.outcome == ExecutableAnalysis::Outcome::NotExecutable, "analysis took a non-executable");
        } else {
            check(result.outcome == ExecutableAnalysis::Outcome::Scanned, "analysis did not scan an executable");
            check(result.found == expected, "analysis differs from one search per name");
        }
    }
    return 0;
}
