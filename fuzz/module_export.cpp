// The module a save writes, for any name, declaration and description the view can
// hold: exactly the lines it should have (two of its own, the declaration's, and with the
// description three empty ones and one comment line per description line), every line
// ended by CR LF and no CR or LF on its own, in the text and in the file's bytes alike;
// one byte per character; no "Private" left standing as a word of its own.
#include "output/ModuleExport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

namespace {

FunctionView view; // the input, its UTF-16 units shown when a rule breaks

void describeView()
{
    for (const QString *text : {&view.name, &view.declaration, &view.description}) {
        for (const QChar c : *text)
            std::fprintf(stderr, "%x ", c.unicode());
        std::fprintf(stderr, "\n");
    }
}

// A text of the view: UTF-8 (every character whole), raw UTF-16 units (lone surrogates
// too), or pieces with line breaks of every kind among words Basic uses.
QString textFrom(FuzzedDataProvider &in)
{
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return QString::fromStdString(in.ConsumeRandomLengthString(200));
    case 1: {
        const std::string bytes = in.ConsumeRandomLengthString(400);
        QString text;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            text.append(QChar(char16_t(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8)));
        return text;
    }
    default: {
        static const char *const pieces[] = {"\r\n", "\r", "\n", "\n\r", "\r\r\n", "Private", " ", "(", ", ",
                                             " _\r\n\t\t\t", "Declare", "x", "\u0627", "\u2028", "\u0085", "\""};
        QString text;
        const int count = in.ConsumeIntegralInRange(0, 24);
        for (int i = 0; i < count; ++i)
            text += QString::fromUtf8(pieces[in.ConsumeIntegralInRange<size_t>(0, std::size(pieces) - 1)]);
        return text;
    }
    }
}

// The lines of a text cut at CR LF, lone CR and lone LF alike.
qsizetype lineCount(const QString &text)
{
    qsizetype lines = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r')) {
            ++lines;
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else if (text[i] == QLatin1Char('\n')) {
            ++lines;
        }
    }
    return lines;
}

// Every line ended by CR LF, no CR or LF on its own; the number of lines.
template<typename Text, typename Char>
qsizetype crLfLines(const Text &text, Char cr, Char lf)
{
    check(text.size() >= 2 && text[text.size() - 2] == cr && text[text.size() - 1] == lf, "last line not ended by CR LF");
    qsizetype lines = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == cr) {
            check(i + 1 < text.size() && text[i + 1] == lf, "CR without LF");
            ++lines;
            ++i;
        } else {
            check(text[i] != lf, "LF without CR");
        }
    }
    return lines;
}

bool basicWordEdge(const QString &text, qsizetype at)
{
    if (at < 0 || at >= text.size())
        return true;
    return QStringLiteral(" \t\r\n(),\"").contains(text[at]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool withDescription = in.ConsumeBool();
    view = {textFrom(in), textFrom(in), textFrom(in)};
    describeInput = describeView;

    const QString text = ModuleExport::moduleText(view, withDescription);
    const qsizetype expected = 2 + lineCount(view.declaration) + (withDescription ? 3 + lineCount(view.description) : 0);
    check(crLfLines(text, QChar(u'\r'), QChar(u'\n')) == expected, "module text has another number of lines");

    const QStringList lines = text.split(QStringLiteral("\r\n"));
    check(lines[0].startsWith(ModuleExport::headerStart) && lines[0].endsWith(QLatin1Char('"')), "header line");
    check(lines[1] == ModuleExport::createdBy, "second line");
    const qsizetype declarationLines = lineCount(view.declaration);
    for (qsizetype i = 2; i < 2 + declarationLines; ++i) {
        const QString &line = lines[i];
        for (qsizetype at = line.indexOf(QStringLiteral("Private")); at >= 0; at = line.indexOf(QStringLiteral("Private"), at + 1))
            check(!basicWordEdge(line, at - 1) || !basicWordEdge(line, at + 7), "Private left standing");
    }
    if (withDescription) {
        for (qsizetype i = 2 + declarationLines; i < 5 + declarationLines; ++i)
            check(lines[i].isEmpty(), "the three empty lines");
        for (qsizetype i = 5 + declarationLines; i < expected; ++i)
            check(lines[i].startsWith(ModuleExport::commentStart), "comment line without its apostrophe");
    }

    const QByteArray bytes = ModuleExport::moduleBytes(view, withDescription);
    check(crLfLines(bytes, '\r', '\n') == expected, "module bytes have another number of lines");
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++characters) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    check(bytes.size() == characters, "not one byte per character");
    return 0;
}
