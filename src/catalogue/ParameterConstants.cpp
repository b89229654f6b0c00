#include "ParameterConstants.h"

#include "SqliteRows.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <limits>

void ParameterConstants::addFamily(ConstantFamily family)
{
    if (m_familyAt.contains(family.name))
        return;
    m_familyAt.insert(family.name, static_cast<int>(m_families.size()));
    m_families.push_back(std::move(family));
}

void ParameterConstants::addLink(ParameterFamily link)
{
    m_linksOf.insert(link.function, static_cast<int>(m_links.size()));
    m_links.push_back(std::move(link));
}

const ConstantFamily *ParameterConstants::family(const QString &name) const
{
    const auto at = m_familyAt.constFind(name);
    return at == m_familyAt.cend() ? nullptr : &m_families[static_cast<size_t>(*at)];
}

namespace {

// Where the declaration names the parameter: its first whole-word occurrence after the
// opening parenthesis of the Declare line (Type blocks may stand above it).
qsizetype parameterPlace(const QString &declaration, const QString &parameter)
{
    const qsizetype declare = declaration.indexOf(QLatin1String("Declare "), 0, Qt::CaseInsensitive);
    const qsizetype open = declaration.indexOf(QLatin1Char('('), std::max<qsizetype>(declare, 0));
    if (open < 0)
        return -1;
    const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(parameter)),
                                  QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = word.match(declaration, open);
    return match.hasMatch() ? match.capturedStart() : -1;
}

} // namespace

std::vector<ParameterFamily> ParameterConstants::parameters(const QString &function, const QString &declaration) const
{
    std::vector<std::pair<qsizetype, int>> order;
    for (auto it = m_linksOf.constFind(function); it != m_linksOf.cend() && it.key() == function; ++it) {
        const ParameterFamily &link = m_links[static_cast<size_t>(*it)];
        if (link.isResult())
            continue;
        qsizetype place = declaration.isEmpty() ? -1 : parameterPlace(declaration, link.parameter);
        // Unplaced ones last, in the order of the table.
        order.emplace_back(place < 0 ? std::numeric_limits<qsizetype>::max() : place, *it);
    }
    std::sort(order.begin(), order.end());
    std::vector<ParameterFamily> out;
    for (const auto &[place, at] : order)
        out.push_back(m_links[static_cast<size_t>(at)]);
    return out;
}

QString ParameterConstants::resultFamily(const QString &function) const
{
    for (auto it = m_linksOf.constFind(function); it != m_linksOf.cend() && it.key() == function; ++it) {
        const ParameterFamily &link = m_links[static_cast<size_t>(*it)];
        if (link.isResult())
            return link.family;
    }
    return QString();
}

namespace ParameterSource {

namespace {

const QString enumsFile = QStringLiteral("enums.tsv");
const QString paramsFile = QStringLiteral("params.tsv");

struct Line
{
    QString where; // "file:line: "
    QStringList fields;
};

// The file's lines that are neither empty nor comments, split at TAB.
std::vector<Line> readLines(const QString &name, QStringList &errors)
{
    std::vector<Line> out;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        errors << name + QStringLiteral(": cannot be read: ") + file.errorString();
        return out;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        out.push_back({QStringLiteral("%1:%2: ").arg(name).arg(n + 1), line.split(QLatin1Char('\t'))});
    }
    return out;
}

void parseFamilies(const std::vector<Line> &lines, const Known &known, ParseResult &result)
{
    for (const Line &line : lines) {
        const QStringList &f = line.fields;
        if (f.size() != 3) {
            result.errors << line.where + QStringLiteral("%1 fields instead of 3").arg(f.size());
            continue;
        }
        if (f[0].isEmpty() || f[2].isEmpty()) {
            result.errors << line.where + QStringLiteral("a family needs a name and members");
            continue;
        }
        if (f[1] != QLatin1String("0") && f[1] != QLatin1String("1"))
            result.errors << line.where + QStringLiteral("combines is neither 0 nor 1: ") + f[1];
        if (result.table.family(f[0]))
            result.errors << line.where + QStringLiteral("family %1 given twice").arg(f[0]);
        const QStringList members = f[2].split(QLatin1Char(' '));
        for (const QString &member : members) {
            if (!known.constants.contains(member))
                result.errors << line.where + QStringLiteral("member \"%1\" of %2 is no constant").arg(member, f[0]);
        }
        result.table.addFamily({f[0], f[1] == QLatin1String("1"), members});
    }
}

void parseLinks(const std::vector<Line> &lines, const Known &known, ParseResult &result)
{
    QSet<QString> seen;
    for (const Line &line : lines) {
        const QStringList &f = line.fields;
        if (f.size() != 4) {
            result.errors << line.where + QStringLiteral("%1 fields instead of 4").arg(f.size());
            continue;
        }
        ParameterFamily link{f[0], f[1], f[2], f[3]};
        bool good = true;
        auto refuse = [&](const QString &what) {
            result.errors << line.where + what;
            good = false;
        };
        if (!result.table.family(link.family))
            refuse(QStringLiteral("unknown family %1").arg(link.family));
        if (link.source != QLatin1String("metadata") && link.source != QLatin1String("override"))
            refuse(QStringLiteral("source is neither metadata nor override: ") + link.source);
        if (!known.declarations.isEmpty()) {
            const auto declaration = known.declarations.constFind(link.function);
            if (declaration == known.declarations.cend())
                refuse(QStringLiteral("unknown function %1").arg(link.function));
            else if (!link.isResult() && parameterPlace(*declaration, link.parameter) < 0)
                refuse(QStringLiteral("%1 has no parameter %2").arg(link.function, link.parameter));
        }
        const QString key = link.function + QLatin1Char('\t') + link.parameter.toLower();
        if (seen.contains(key))
            refuse(QStringLiteral("%1 %2 given twice").arg(link.function, link.parameter));
        seen.insert(key);
        if (good)
            result.table.addLink(std::move(link));
    }
}

} // namespace

bool isParameterFile(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    return name == enumsFile || name == paramsFile;
}

ParseResult parseFiles(const QStringList &files, const Known &known)
{
    ParseResult result;
    for (const QString &file : files) {
        if (QFileInfo(file).fileName() == enumsFile)
            parseFamilies(readLines(file, result.errors), known, result);
    }
    for (const QString &file : files) {
        if (QFileInfo(file).fileName() == paramsFile)
            parseLinks(readLines(file, result.errors), known, result);
    }
    return result;
}

} // namespace ParameterSource

namespace ParameterStore {

using SqliteRows::bind;
using SqliteRows::text;

QString write(const QString &databaseFile, const ParameterConstants &table)
{
    const auto &families = table.families();
    const auto &links = table.links();
    return SqliteRows::add(databaseFile,
                           "CREATE TABLE ConstEnum (Name TEXT PRIMARY KEY, Combines INTEGER, Members TEXT);"
                           "CREATE TABLE ParamEnum (Function TEXT, Param TEXT, Enum TEXT, Source TEXT);"
                           "CREATE INDEX ParamEnumFunction ON ParamEnum (Function);",
                           {{"INSERT INTO ConstEnum VALUES (?, ?, ?)", families.size(),
                             [&](sqlite3_stmt *insert, size_t i) {
                                 bind(insert, 1, families[i].name);
                                 sqlite3_bind_int(insert, 2, families[i].combines ? 1 : 0);
                                 bind(insert, 3, families[i].members.join(QLatin1Char(' ')));
                             }},
                            {"INSERT INTO ParamEnum VALUES (?, ?, ?, ?)", links.size(),
                             [&](sqlite3_stmt *insert, size_t i) {
                                 bind(insert, 1, links[i].function);
                                 bind(insert, 2, links[i].parameter);
                                 bind(insert, 3, links[i].family);
                                 bind(insert, 4, links[i].source);
                             }}});
}

ParameterConstants read(sqlite3 *db, qint64 &rows, qint64 &characters)
{
    ParameterConstants table;
    sqlite3_stmt *statement = nullptr;
    auto spend = [&](qint64 size) { return --rows >= 0 && (characters -= size) >= 0; };
    if (sqlite3_prepare_v2(db, "SELECT Name, Combines, Members FROM ConstEnum", -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            ConstantFamily family{text(statement, 0), sqlite3_column_int(statement, 1) != 0, {}};
            const QString members = text(statement, 2);
            if (!spend(family.name.size() + members.size()))
                break;
            family.members = members.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            table.addFamily(std::move(family));
        }
    }
    sqlite3_finalize(statement);
    statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT Function, Param, Enum, Source FROM ParamEnum", -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            ParameterFamily link{text(statement, 0), text(statement, 1), text(statement, 2), text(statement, 3)};
            if (!spend(link.function.size() + link.parameter.size() + link.family.size() + link.source.size()))
                break;
            // A link to a family the table lacks would open nothing.
            if (table.family(link.family))
                table.addLink(std::move(link));
        }
    }
    sqlite3_finalize(statement);
    return table;
}

} // namespace ParameterStore
