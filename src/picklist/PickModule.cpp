#include "PickModule.h"

#include "catalogue/CatalogueRecord.h"
#include "catalogue/ConstantTable.h"
#include "catalogue/FunctionFacts.h"
#include "output/ModuleExport.h"
#include "platform/Windows1256.h"

#include <QHash>
#include <QSet>

namespace PickModule {

namespace {

using ModuleExport::lineEnd;
const QString blockBreak = QStringLiteral("\r\n\r\n");

// The words a Basic IDE refuses as a module's name.
const QSet<QString> &basicWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char *word :
             {"and", "as", "boolean", "byref", "byte", "byval", "call", "case", "const", "currency", "date", "declare",
              "defbool", "defbyte", "defcur", "defdate", "defdbl", "defint", "deflng", "defobj", "defsng", "defstr",
              "defvar", "dim", "do", "double", "each", "else", "elseif", "empty", "end", "enum", "eqv", "erase",
              "event", "exit", "false", "for", "friend", "function", "get", "global", "gosub", "goto", "if", "imp",
              "implements", "in", "integer", "is", "let", "lib", "like", "long", "longlong", "longptr", "loop", "lset",
              "me", "mod", "new", "next", "not", "nothing", "null", "on", "option", "optional", "or", "paramarray",
              "preserve", "private", "property", "ptrsafe", "public", "raiseevent", "redim", "rem", "resume",
              "return", "rset", "select", "set", "single", "static", "step", "stop", "string", "sub", "then", "to",
              "true", "type", "typeof", "until", "variant", "wend", "while", "with", "withevents", "xor"})
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return words;
}

// One form of the declarations (classic or VBA7): the Type blocks by name, each kept as
// the first function gave it, and the declarations in order.
class FormBlocks
{
public:
    FormBlocks(bool isPrivate, bool comments)
        : m_private(isPrivate)
        , m_comments(comments)
    {
    }

    void add(const QString &function, const QString &declaration, const QString &comment)
    {
        QStringList code;
        for (const QString &stored : declaration.split(blockBreak)) {
            const QString block = m_private ? stored : ModuleExport::publicDeclaration(stored);
            const QString name = ModuleExport::typeName(block);
            if (name.isEmpty()) {
                code << block;
                continue;
            }
            const auto known = m_types.constFind(name);
            if (known == m_types.cend()) {
                m_types.insert(name, {block, function});
                m_order << name;
            } else if (known->block != block && !m_conflicting.contains(name)) {
                m_conflicting.insert(name);
                m_conflicts << name + QStringLiteral(": ") + known->function + QStringLiteral(", ") + function;
            }
        }
        m_declarations << (m_comments ? comment + lineEnd : QString()) + code.join(lineEnd);
    }

    // The Type blocks, each after the Types it holds, then the declarations: one block
    // each with their comments, else one block of consecutive lines.
    QStringList blocks() const
    {
        QStringList out;
        QSet<QString> placed;
        for (const QString &name : m_order)
            place(name, placed, out);
        if (m_comments)
            out << m_declarations;
        else if (!m_declarations.isEmpty())
            out << m_declarations.join(lineEnd);
        return out;
    }

    const QStringList &conflicts() const { return m_conflicts; }

private:
    struct Type
    {
        QString block;
        QString function; // the first that declared it
    };

    void place(const QString &name, QSet<QString> &placed, QStringList &out) const
    {
        // Marked before its members are placed: a Type that held itself stops here.
        if (placed.contains(name))
            return;
        placed.insert(name);
        const QString &block = m_types.value(name).block;
        for (const QString &used : ModuleExport::typesUsed(block)) {
            if (m_types.contains(used))
                place(used, placed, out);
        }
        out << block;
    }

    bool m_private;
    bool m_comments;
    QHash<QString, Type> m_types;
    QStringList m_order;
    QStringList m_declarations;
    QSet<QString> m_conflicting;
    QStringList m_conflicts;
};

// A function's comment lines: its description, each line begun by "' ".
QString descriptionComment(const CatalogueRecord &record)
{
    return ModuleExport::commentBlock(record[CatalogueRecord::Description]);
}

// The VBA7 form, or for a function that has none the note that says so under its name.
QString vba7Form(const CatalogueRecord &record)
{
    if (!record[CatalogueRecord::Vba7Declaration].isEmpty())
        return record[CatalogueRecord::Vba7Declaration];
    return ModuleExport::commentStart + record[CatalogueRecord::FunctionName] + lineEnd + record.declaration(true);
}

// The classic form, or for a function that has the VBA7 form alone (cdecl in 32 bits) the
// note that 32-bit Basic cannot call it, under its name.
QString classicForm(const CatalogueRecord &record)
{
    if (!record.vba7Only())
        return record[CatalogueRecord::Declaration];
    return ModuleExport::commentStart + record[CatalogueRecord::FunctionName] + lineEnd + record.declaration(false);
}

// The constants, one block a family, the families in the order of their first constant.
QStringList constantBlocks(const std::vector<const Constant *> &constants, const Options &options)
{
    QHash<QString, qsizetype> familyBlock;
    QSet<QString> seen;
    QList<QStringList> blocks;
    for (const Constant *constant : constants) {
        if (seen.contains(constant->name))
            continue;
        seen.insert(constant->name);
        QString line = options.isPrivate ? constant->line : ModuleExport::publicDeclaration(constant->line);
        if (options.comments && !constant->meaning.isEmpty())
            line += QStringLiteral(" ' ") + ModuleExport::lines(constant->meaning).join(QLatin1Char(' '));
        const auto at = familyBlock.constFind(constant->family);
        if (at == familyBlock.cend()) {
            familyBlock.insert(constant->family, blocks.size());
            blocks.append(QStringList{line});
        } else {
            blocks[*at] << line;
        }
    }
    QStringList out;
    for (const QStringList &block : blocks)
        out << block.join(lineEnd);
    return out;
}

} // namespace

bool isModuleName(const QString &name)
{
    if (name.isEmpty() || name.size() > 31 || basicWords().contains(name.toLower()))
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (!letter && (i == 0 || !((c >= u'0' && c <= u'9') || c == u'_')))
            return false;
    }
    return true;
}

Module build(const std::vector<const CatalogueRecord *> &functions, const std::vector<const Constant *> &constants,
             const Options &options)
{
    FormBlocks classic(options.isPrivate, options.comments);
    FormBlocks vba7(options.isPrivate, options.comments);
    QSet<const CatalogueRecord *> seen;
    bool only64 = false;
    for (const CatalogueRecord *record : functions) {
        if (seen.contains(record))
            continue;
        seen.insert(record);
        const QString comment = options.comments ? descriptionComment(*record) : QString();
        const QString &name = (*record)[CatalogueRecord::FunctionName];
        // Both forms: a function with the VBA7 form alone has no twin in the "#Else" branch.
        if (options.form == Form::Classic || (options.form == Form::Both && !record->vba7Only()))
            classic.add(name, classicForm(*record), comment);
        if (options.form != Form::Classic) {
            vba7.add(name, vba7Form(*record), comment);
            only64 = only64
                || FunctionFacts::onlyIn64Bits(record->fields[CatalogueRecord::Vba7Declaration],
                                               record->fields[CatalogueRecord::Declaration]);
        }
    }
    Module module;
    module.conflicts = classic.conflicts() + vba7.conflicts();
    if (!module.conflicts.isEmpty())
        return module;

    const bool both = options.form == Form::Both;
    const QStringList constantLines = constantBlocks(constants, options);
    const QStringList code = both ? QStringList() : (options.form == Form::Vba7 ? vba7 : classic).blocks();
    const QStringList vba7Code = both ? vba7.blocks() : QStringList();
    const QStringList classicCode = both ? classic.blocks() : QStringList();

    // Written into one text, line breaks made CR LF on the way (a lone CR or LF inside a
    // field would break the module in a Basic IDE): a module of thousands of functions is
    // megabytes, and each copy of it costs.
    qsizetype size = 256;
    for (const QStringList *blocks : {&constantLines, &code, &vba7Code, &classicCode}) {
        for (const QString &block : *blocks)
            size += block.size() + block.size() / 8 + 4;
    }
    QString &text = module.text;
    text.reserve(size);
    text += QStringLiteral("Attribute VB_Name = \"") + options.name + QLatin1Char('"') + lineEnd + ModuleExport::createdBy
        + lineEnd;
    bool first = true;
    auto startBlock = [&] {
        text += first ? lineEnd : blockBreak;
        first = false;
    };
    for (const QString &block : constantLines + code) {
        startBlock();
        ModuleExport::appendLines(text, block);
    }
    if (both && !seen.isEmpty()) {
        startBlock();
        ModuleExport::appendConditionalBlocks(text, vba7Code, classicCode, only64);
    }
    if (!first)
        text += lineEnd;
    return module;
}

QByteArray bytes(const Module &module)
{
    return Windows1256::encode(module.text);
}

} // namespace PickModule
