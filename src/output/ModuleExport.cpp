#include "ModuleExport.h"

#include "catalogue/FunctionFacts.h"
#include "platform/Windows1256.h"

namespace ModuleExport {

QString moduleName(const QString &functionName)
{
    // A line break would cut the module's header line in two, and a NUL would end the
    // name early for whatever reads it: they go the way of a space.
    QString name = functionName;
    for (QChar &c : name) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.isNull())
            c = QLatin1Char('_');
    }
    return name;
}

QString fileName(const QString &functionName)
{
    // A "/" would name a folder that is not there.
    QString name = moduleName(functionName);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return name;
}

QStringList lines(const QString &text)
{
    // By hand rather than by a regular expression: those match nothing at all in a text
    // that holds a lone surrogate, which a damaged catalogue field may.
    QStringList result;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        result << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    result << text.mid(start);
    return result;
}

namespace {

// Whether a character of a Basic name stands at the position: a letter, a digit or "_".
// A character beyond the Basic Multilingual Plane is taken whole, from either of its halves.
bool nameCharacterAt(const QString &text, qsizetype at)
{
    if (at < 0 || at >= text.size())
        return false;
    const QChar c = text.at(at);
    char32_t code = c.unicode();
    if (c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate())
        code = QChar::surrogateToUcs4(c, text.at(at + 1));
    else if (c.isLowSurrogate() && at > 0 && text.at(at - 1).isHighSurrogate())
        code = QChar::surrogateToUcs4(text.at(at - 1), c);
    return code == U'_' || QChar::isLetterOrNumber(code);
}

} // namespace

QString publicDeclaration(const QString &declaration)
{
    // A Basic name is made of letters, digits and "_"; "Private" touching one of them is
    // part of a longer name.
    static const QString privateWord = QStringLiteral("Private");
    static const QString publicWord = QStringLiteral("Public");
    QString result;
    qsizetype from = 0;
    for (qsizetype at = declaration.indexOf(privateWord); at >= 0; at = declaration.indexOf(privateWord, at + 1)) {
        if (nameCharacterAt(declaration, at - 1) || nameCharacterAt(declaration, at + privateWord.size()))
            continue;
        result += QStringView(declaration).mid(from, at - from) + publicWord;
        from = at + privateWord.size();
        at = from - 1;
    }
    return result + QStringView(declaration).mid(from);
}

QString commentBlock(const QString &description)
{
    return commentStart + lines(description).join(lineEnd + commentStart);
}

namespace {

const QString blockBreak = QStringLiteral("\r\n\r\n");

QString indented(const QStringList &blocks)
{
    QStringList out;
    for (const QString &line : lines(blocks.join(blockBreak)))
        out << (line.isEmpty() ? line : QStringLiteral("    ") + line);
    return out.join(lineEnd);
}

} // namespace

QString conditionalDeclaration(const QString &vba7, const QString &classic)
{
    // The blocks are the Type blocks and, last, the Declare statement, one empty line apart.
    const QStringList vba7Blocks = vba7.split(blockBreak);
    const QStringList classicBlocks = classic.split(blockBreak);
    QStringList shared, vba7Only, classicOnly;
    for (const QString &block : classicBlocks)
        (vba7Blocks.contains(block) ? shared : classicOnly) << block;
    for (const QString &block : vba7Blocks) {
        if (!shared.contains(block))
            vba7Only << block;
    }
    const bool only64 = FunctionFacts::onlyIn64Bits(vba7, classic);
    QString text = shared.isEmpty() ? QString() : shared.join(blockBreak) + blockBreak;
    return text + (only64 ? QStringLiteral("#If Win64 Then") : QStringLiteral("#If VBA7 Then")) + lineEnd
        + indented(vba7Only) + lineEnd + QStringLiteral("#Else") + lineEnd + indented(classicOnly) + lineEnd
        + QStringLiteral("#End If");
}

QString moduleText(const FunctionView &view, bool withDescription)
{
    QString declaration = view.declaration;
    if (!view.classicDeclaration.isEmpty()) {
        declaration = view.declaration.startsWith(QLatin1Char('\''))
            ? view.declaration + lineEnd + view.classicDeclaration
            : conditionalDeclaration(view.declaration, view.classicDeclaration);
    }
    // Inner line breaks of the declaration (a formatted one has them) are written as the
    // CR LF they stand for; a lone CR or LF would break the module in a Basic IDE.
    QString text = headerStart + moduleName(view.name) + QLatin1Char('"') + lineEnd
        + createdBy + lineEnd
        + lines(publicDeclaration(declaration)).join(lineEnd) + lineEnd;
    if (withDescription)
        text += lineEnd + lineEnd + lineEnd + commentBlock(view.description) + lineEnd;
    return text;
}

QByteArray moduleBytes(const FunctionView &view, bool withDescription)
{
    return Windows1256::encode(moduleText(view, withDescription));
}

} // namespace ModuleExport
