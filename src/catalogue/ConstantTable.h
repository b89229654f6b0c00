#pragma once

#include "ParameterConstants.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The catalogue's constants: table Const of API.mdb (one row a constant) and table
// ConstFamily (the Persian names of the commonest families).
struct Constant
{
    QString name;
    QString line;    // the Basic line: Private Const NAME As Long = value
    qint32 value = 0;
    QString family;  // the name before its first "_"
    QString header;
    QString meaning; // a one-line Persian meaning, for some error codes

    bool operator==(const Constant &) const = default;
};

struct ConstantTable
{
    std::vector<Constant> constants;
    QHash<QString, QString> familyNames; // family -> Persian name
    ParameterConstants parameters;       // which parameter takes which constants

    bool operator==(const ConstantTable &) const = default;
};

// The catalogue's source text of the constants: const-*.tsv, one constant a line (name,
// value as a 32-bit Long in decimal, Basic line, family, header, meaning), and
// families.tsv (family, Persian name). TAB separates the fields; "#" starts a comment.
namespace ConstantSource {

// Whether the source file (by its name) holds constants or family names rather than
// functions.
bool isConstantFile(const QString &fileName);

struct ParseResult
{
    ConstantTable table;
    QStringList errors; // "file:line: what is wrong"
};

// Reads the files into one table. Every line is checked: the field count, the value, and
// that the Basic line's literal reads back as the value.
ParseResult parseFiles(const QStringList &files);

} // namespace ConstantSource

namespace ConstantStore {

// Adds tables Const and ConstFamily to an existing database file. Returns an empty text
// on success, else what went wrong.
QString write(const QString &databaseFile, const ConstantTable &table);

// What table Const may hold: far above the headers' constants, low enough that a damaged
// or endless table is refused long before memory runs out.
struct Limits
{
    qint64 rows = 1'000'000;
    qint64 rowCharacters = 16'384; // of the six fields of one row
    qint64 characters = 64LL * 1024 * 1024;
    qint64 steps = 100'000'000;    // the engine's, for the whole read
};

// Reads the two tables (and ConstEnum, ParamEnum where the catalogue has them); nothing when the database has no table Const (an older catalogue)
// or cannot be read. A table past a limit gives nothing too, and refusal (when given)
// says which limit it passed.
std::optional<ConstantTable> open(const QString &databaseFile, QString *refusal = nullptr,
                                  const Limits &limits = {});

} // namespace ConstantStore
