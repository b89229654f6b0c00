#include "ConstantTable.h"

#include "BasicLiteral.h"
#include "ReadBudget.h"
#include "SqliteRows.h"
#include "platform/Texts.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>

namespace ConstantSource {

namespace {

const QString familiesFile = QStringLiteral("families.tsv");
// The constant families of parameters, beside the constants: not read here.
const QString enumsFile = QStringLiteral("enums.tsv");
const QString paramsFile = QStringLiteral("params.tsv");

// A string constant's line: Private Const NAME As String = "text", a quote inside the
// text doubled as Basic writes it, nothing after the closing quote.
bool isStringLine(const QString &name, const QString &line)
{
    static const QRegularExpression pattern(QStringLiteral("^Private Const (\\w+) As String = \"(?:[^\"]|\"\")*\"$"));
    const QRegularExpressionMatch m = pattern.match(line);
    return m.hasMatch() && m.captured(1) == name;
}

void parseText(const QString &text, const QString &fileName, ParseResult &result, QSet<QString> &names)
{
    const QString base = QFileInfo(fileName).fileName();
    if (base == enumsFile || base == paramsFile)
        return;
    const bool families = base == familiesFile;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("%1:%2: ").arg(fileName).arg(n + 1);
        const QStringList f = line.split(QLatin1Char('\t'));
        const int expected = families ? 2 : 6;
        if (f.size() != expected) {
            result.errors << where + QStringLiteral("%1 fields instead of %2").arg(f.size()).arg(expected);
            continue;
        }
        if (families) {
            result.table.familyNames.insert(f[0], f[1]);
            continue;
        }
        Constant c{f[0], f[2], 0, f[3], f[4], f[5]};
        if (f[1].isEmpty()) { // a string constant: no number to read back
            if (!isStringLine(c.name, c.line))
                result.errors << where + QStringLiteral("no value and no Basic string constant: ") + c.line;
        } else {
            bool ok = false;
            const qlonglong value = f[1].toLongLong(&ok);
            if (!ok || value < INT32_MIN || value > INT32_MAX) {
                result.errors << where + QStringLiteral("value is no 32-bit Long: ") + f[1];
                continue;
            }
            c.value = static_cast<qint32>(value);
            if (BasicLiteral::lineValue(c.line) != c.value)
                result.errors << where + QStringLiteral("the Basic line does not read back as ") + f[1];
        }
        if (names.contains(c.name.toLower()))
            result.errors << where + c.name + QStringLiteral(" given twice");
        names.insert(c.name.toLower());
        result.table.constants.push_back(std::move(c));
    }
}

} // namespace

bool isConstantFile(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    return name.startsWith(QLatin1String("const-")) || name == familiesFile || name == enumsFile
        || name == paramsFile;
}

ParseResult parseFiles(const QStringList &files)
{
    ParseResult result;
    QSet<QString> names;
    for (const QString &name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            result.errors << name + QStringLiteral(": cannot be read: ") + file.errorString();
            continue;
        }
        parseText(QString::fromUtf8(file.readAll()), name, result, names);
    }
    return result;
}

} // namespace ConstantSource

namespace ConstantStore {

using SqliteRows::bind;
using SqliteRows::text;

QString write(const QString &databaseFile, const ConstantTable &table)
{
    const std::vector<Constant> &constants = table.constants;
    const QList<QString> families = table.familyNames.keys();
    return SqliteRows::add(databaseFile,
                           "CREATE TABLE Const (ConstName TEXT, Line TEXT, Value INTEGER, Family TEXT,"
                           " Header TEXT, Meaning TEXT);"
                           "CREATE TABLE ConstFamily (Family TEXT, Name TEXT);",
                           {{"INSERT INTO Const VALUES (?, ?, ?, ?, ?, ?)", constants.size(),
                             [&](sqlite3_stmt *insert, size_t i) {
                                 const Constant &c = constants[i];
                                 bind(insert, 1, c.name);
                                 bind(insert, 2, c.line);
                                 sqlite3_bind_int(insert, 3, c.value);
                                 bind(insert, 4, c.family);
                                 bind(insert, 5, c.header);
                                 bind(insert, 6, c.meaning);
                             }},
                            {"INSERT INTO ConstFamily VALUES (?, ?)", static_cast<size_t>(families.size()),
                             [&](sqlite3_stmt *insert, size_t i) {
                                 const QString &family = families[static_cast<qsizetype>(i)];
                                 bind(insert, 1, family);
                                 bind(insert, 2, table.familyNames.value(family));
                             }}});
}

std::optional<ConstantTable> open(const QString &databaseFile, QString *refusal, const Limits &limits)
{
    if (!QFileInfo(databaseFile).isFile())
        return std::nullopt;
    const QByteArray uri = "file:" + QUrl::fromLocalFile(databaseFile).toEncoded(QUrl::RemoveScheme)
        + "?mode=ro";
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    auto done = [&](std::optional<ConstantTable> result) {
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return result;
    };
    auto refuse = [&](const QString &limit) {
        if (refusal)
            *refusal = limit;
        return done(std::nullopt);
    };
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK)
        return done(std::nullopt);
    // Read as the function table is: what a writer committed, in one read transaction,
    // without a memory map that a file shortened meanwhile would turn into a signal.
    sqlite3_busy_timeout(db, 1500);
    sqlite3_exec(db, "PRAGMA mmap_size=0", nullptr, nullptr, nullptr);
    // No single field may hold more than a row may.
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, static_cast<int>(std::min<qint64>(limits.rowCharacters * 4, 1000000000)));
    if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return done(std::nullopt);
    if (sqlite3_prepare_v2(db, "SELECT ConstName, Line, Value, Family, Header, Meaning FROM Const", -1,
                           &statement, nullptr) != SQLITE_OK)
        return done(std::nullopt);
    ConstantTable table;
    int rc;
    qint64 characters = 0;
    const QString tooLong = Texts::constantRowTooLong.arg(limits.rowCharacters);
    const ReadBudget budget(db, limits.steps);
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        if (static_cast<qint64>(table.constants.size()) >= limits.rows)
            return refuse(Texts::tooManyConstants.arg(limits.rows));
        Constant c{text(statement, 0), text(statement, 1), sqlite3_column_int(statement, 2),
                   text(statement, 3), text(statement, 4), text(statement, 5)};
        const qint64 own = c.name.size() + c.line.size() + c.family.size() + c.header.size() + c.meaning.size();
        if (own > limits.rowCharacters)
            return refuse(tooLong);
        if ((characters += own) > limits.characters)
            return refuse(Texts::constantsTooLong.arg(limits.characters));
        table.constants.push_back(std::move(c));
    }
    if (budget.spent())
        return refuse(Texts::tableNeverEnds.arg(QStringLiteral("Const")).arg(limits.steps));
    if (rc == SQLITE_TOOBIG)
        return refuse(tooLong);
    if (rc != SQLITE_DONE)
        return done(std::nullopt);
    sqlite3_finalize(statement);
    statement = nullptr;
    // The family names are an extra: a catalogue without them still has its constants.
    // They count against the same limits; past one, the names read so far are kept.
    if (sqlite3_prepare_v2(db, "SELECT Family, Name FROM ConstFamily", -1, &statement, nullptr) == SQLITE_OK) {
        while (table.familyNames.size() < limits.rows && sqlite3_step(statement) == SQLITE_ROW) {
            const QString family = text(statement, 0);
            const QString name = text(statement, 1);
            if ((characters += family.size() + name.size()) > limits.characters)
                break;
            table.familyNames.insert(family, name);
        }
    }
    sqlite3_finalize(statement);
    statement = nullptr;
    qint64 rowsLeft = limits.rows;
    qint64 charactersLeft = limits.characters - characters;
    // A family's members are one field, far longer than a constant's row may be (the
    // system error codes: 96,000 characters); the field that passed the row's limit stopped
    // the reading of every family after it. What is left of the whole budget bounds it.
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, static_cast<int>(std::clamp<qint64>(charactersLeft * 4, 1, 1000000000)));
    table.parameters = ParameterStore::read(db, rowsLeft, charactersLeft);
    return done(std::move(table));
}

} // namespace ConstantStore
