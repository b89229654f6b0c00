// The module a save writes, for any name, declaration and description the view can
// hold: exactly the lines it should have (two of its own, the declaration's, and with the
// description three empty ones and one comment line per description line), every line
// ended by CR LF and no CR or LF on its own, one byte per character. The exact texts are
// tables of tests/output.
#include "output/ModuleExport.h"

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A text of the view: UTF-8 (every character whole), raw UTF-16 units (lone surrogates
// too), or pieces with line breaks of every kind among words Basic uses.
QString textFrom(FuzzedDataProvider &in)
{
    static const char *const pieces[] = {"\r\n", "\r", "\n", "\n\r", "\r\r\n", "Private", " ", "(",
                                         " _\r\n\t\t\t", "x", "\u0627", "\u2028", "\u0085", "\""};
    QString text;
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: return QString::fromStdString(in.ConsumeRandomLengthString(200));
    case 1: {
        const std::vector<uint8_t> b = in.ConsumeBytes<uint8_t>(2 * in.ConsumeIntegralInRange(0, 200));
        for (size_t i = 0; i + 1 < b.size(); i += 2)
            text.append(QChar(char16_t(b[i] | b[i + 1] << 8)));
        return text;
    }
    default:
        for (int count = in.ConsumeIntegralInRange(0, 24); count > 0; --count)
            text += QString::fromUtf8(pieces[in.ConsumeIntegralInRange<size_t>(0, std::size(pieces) - 1)]);
        return text;
    }
}

// The lines of a text cut at CR LF, lone CR and lone LF alike.
qsizetype lineCount(const QString &text)
{
    qsizetype lines = 1;
    for (qsizetype i = 0; i < text.size(); ++i)
        lines += text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'));
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool withDescription = in.ConsumeBool();
    const FunctionView view{textFrom(in), textFrom(in), textFrom(in)};
    const QString text = ModuleExport::moduleText(view, withDescription);
    const QByteArray bytes = ModuleExport::moduleBytes(view, withDescription);
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++characters)
        i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    check(bytes.size() == characters, "not one byte per character");

    check(bytes.endsWith("\r\n") && !bytes.startsWith('\n'), "last line not ended by CR LF");
    for (qsizetype i = 0; i < bytes.size(); ++i)
        check((bytes[i] == '\r') == (i + 1 < bytes.size() && bytes[i + 1] == '\n'), "a CR or LF on its own");
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast(); // after the last CR LF
    const qsizetype declarationLines = lineCount(view.declaration);
    const qsizetype expected = 2 + declarationLines + (withDescription ? 3 + lineCount(view.description) : 0);
    check(lines.size() == expected, "module has another number of lines");
    check(lines[0].startsWith(ModuleExport::headerStart.toLatin1()) && lines[1] == ModuleExport::createdBy.toLatin1() + '\r',
          "the module's own lines");
    for (qsizetype i = 2 + declarationLines; withDescription && i < expected; ++i)
        check(i < 5 + declarationLines ? lines[i] == "\r" : lines[i].startsWith(ModuleExport::commentStart.toLatin1()),
              "the three empty lines and the comment lines");
    return 0;
}
