#include "ModuleExport.h"

#include "catalogue/FunctionFacts.h"
#include "platform/Windows1256.h"

#include <QSet>

#include <algorithm>

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

namespace {

// Calls visit with every line of the text, cut as lines() cuts it, without copying.
// By hand rather than by a regular expression: those match nothing at all in a text
// that holds a lone surrogate, which a damaged catalogue field may.
template<typename Visit>
void forEachLine(QStringView text, Visit visit)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        visit(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    visit(text.mid(start));
}

} // namespace

void appendLines(QString &out, QStringView text, QStringView prefix)
{
    bool first = true;
    forEachLine(text, [&](QStringView line) {
        if (!first)
            out += lineEnd;
        first = false;
        if (!line.isEmpty())
            out += prefix;
        out += line;
    });
}

namespace {

} // namespace

QStringList lines(const QString &text)
{
    QStringList result;
    forEachLine(text, [&result](QStringView line) { result << line.toString(); });
    return result;
}

QString withCrLf(QStringView text)
{
    QString out;
    out.reserve(text.size());
    appendLines(out, text, {});
    return out;
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

// The blocks one empty line apart, each line of them after the prefix unless it is empty.
void appendBlocks(QString &out, const QStringList &blocks, QStringView prefix)
{
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        if (i > 0)
            out += blockBreak;
        appendLines(out, blocks.at(i), prefix);
    }
}

} // namespace

QString conditionalDeclaration(const QString &vba7, const QString &classic)
{
    // The blocks are the Type blocks and, last, the Declare statement, one empty line apart.
    return conditionalBlocks(vba7.split(blockBreak), classic.isEmpty() ? QStringList() : classic.split(blockBreak),
                             FunctionFacts::onlyIn64Bits(vba7, classic));
}

QString conditionalBlocks(const QStringList &vba7Blocks, const QStringList &classicBlocks, bool only64)
{
    QString out;
    appendConditionalBlocks(out, vba7Blocks, classicBlocks, only64);
    return out;
}

void appendConditionalBlocks(QString &out, const QStringList &vba7Blocks, const QStringList &classicBlocks, bool only64)
{
    const QSet<QString> inVba7(vba7Blocks.cbegin(), vba7Blocks.cend());
    const QSet<QString> inClassic(classicBlocks.cbegin(), classicBlocks.cend());
    // The Types that go into the branches: those the forms declare differently, then
    // every Type that holds one of them, until no more join.
    QSet<QString> branched;
    for (const QString &block : vba7Blocks) {
        if (!inClassic.contains(block))
            branched.insert(typeName(block));
    }
    for (const QString &block : classicBlocks) {
        if (!inVba7.contains(block))
            branched.insert(typeName(block));
    }
    branched.remove(QString());
    struct Candidate
    {
        QString name;
        QStringList used;
    };
    std::vector<Candidate> candidates;
    for (const QString &block : classicBlocks) {
        if (inVba7.contains(block))
            candidates.push_back({typeName(block), typesUsed(block)});
    }
    auto usesBranched = [&branched](const Candidate &c) {
        return branched.contains(c.name)
            || std::any_of(c.used.cbegin(), c.used.cend(), [&branched](const QString &name) { return branched.contains(name); });
    };
    for (bool grew = true; grew;) {
        grew = false;
        for (const Candidate &c : candidates) {
            if (!c.name.isEmpty() && !branched.contains(c.name) && usesBranched(c)) {
                branched.insert(c.name);
                grew = true;
            }
        }
    }
    QSet<QString> shared;
    QStringList sharedBlocks, vba7Only, classicOnly;
    for (qsizetype i = 0, c = 0; i < classicBlocks.size(); ++i) {
        const QString &block = classicBlocks.at(i);
        if (inVba7.contains(block) && !usesBranched(candidates.at(static_cast<size_t>(c++)))) {
            shared.insert(block);
            sharedBlocks << block;
        } else {
            classicOnly << block;
        }
    }
    for (const QString &block : vba7Blocks) {
        if (!shared.contains(block))
            vba7Only << block;
    }
    if (!sharedBlocks.isEmpty()) {
        appendBlocks(out, sharedBlocks, {});
        out += blockBreak;
    }
    out += (only64 ? QStringLiteral("#If Win64 Then") : QStringLiteral("#If VBA7 Then")) + lineEnd;
    appendBlocks(out, vba7Only, u"    ");
    // A function that 32-bit Basic cannot call has no twin for the other branch.
    if (!classicOnly.isEmpty()) {
        out += lineEnd + QStringLiteral("#Else") + lineEnd;
        appendBlocks(out, classicOnly, u"    ");
    }
    out += lineEnd + QStringLiteral("#End If");
}

namespace {

// The Basic words of a text, in order: runs of letters, digits and "_".
template<typename Visit>
void forEachWord(const QString &text, Visit visit)
{
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool inWord = i < text.size() && nameCharacterAt(text, i);
        if (inWord && start < 0)
            start = i;
        else if (!inWord && start >= 0) {
            if (!visit(QStringView(text).mid(start, i - start)))
                return;
            start = -1;
        }
    }
}

} // namespace

QString typeName(const QString &block)
{
    // "Type NAME", or "Private Type NAME" and "Public Type NAME".
    QStringList words;
    forEachWord(block, [&words](QStringView word) {
        words << word.toString();
        return words.size() < 3;
    });
    if (words.size() >= 2 && words.at(0) == QLatin1String("Type"))
        return words.at(1);
    if (words.size() == 3 && words.at(1) == QLatin1String("Type")
        && (words.at(0) == QLatin1String("Private") || words.at(0) == QLatin1String("Public")))
        return words.at(2);
    return QString();
}

QStringList typesUsed(const QString &block)
{
    QStringList used;
    bool afterAs = false;
    forEachWord(block, [&](QStringView word) {
        if (afterAs)
            used << word.toString();
        afterAs = word == QLatin1String("As");
        return true;
    });
    return used;
}

QString moduleText(const FunctionView &view, bool withDescription)
{
    QString declaration = view.declaration;
    if (!view.vba7OnlyDeclaration.isEmpty()) {
        const QString block = conditionalDeclaration(view.vba7OnlyDeclaration, QString());
        declaration = view.declaration.startsWith(QLatin1Char('\'')) ? view.declaration + lineEnd + block : block;
    } else if (!view.classicDeclaration.isEmpty()) {
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
