#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

struct sqlite3;

// A family of constants that a parameter takes: MESSAGEBOX_STYLE holds MB_OK, MB_YESNO...
// Combines says whether its values are joined with Or (MB_YESNO Or MB_ICONQUESTION).
struct ConstantFamily
{
    QString name;
    bool combines = false;
    QStringList members; // constant names, in the order the family lists them

    bool operator==(const ConstantFamily &) const = default;
};

// One parameter of a function that takes a family's constants; an empty parameter stands
// for the function's result (MessageBox returns IDOK, IDCANCEL...).
struct ParameterFamily
{
    QString function;
    QString parameter;
    QString family;
    QString source; // "metadata" or "override"

    bool isResult() const { return parameter.isEmpty(); }
    bool operator==(const ParameterFamily &) const = default;
};

// Which constants each parameter takes: tables ConstEnum and ParamEnum of API.mdb, read
// along with the constants. Empty for a catalogue that has neither table.
class ParameterConstants
{
public:
    bool isEmpty() const { return m_links.empty(); }

    // Adding keeps the first of two families of one name; the source check refuses both.
    void addFamily(ConstantFamily family);
    void addLink(ParameterFamily link);

    const std::vector<ConstantFamily> &families() const { return m_families; }
    const std::vector<ParameterFamily> &links() const { return m_links; }

    // The family of that name; nullptr for a name no family has.
    const ConstantFamily *family(const QString &name) const;
    // The function's parameters that take a family, without its result. Given the
    // function's declaration, in the order the declaration names them.
    std::vector<ParameterFamily> parameters(const QString &function, const QString &declaration = QString()) const;
    // The family of the function's result; empty where it has none.
    QString resultFamily(const QString &function) const;

    bool operator==(const ParameterConstants &other) const
    {
        return m_families == other.m_families && m_links == other.m_links;
    }

private:
    std::vector<ConstantFamily> m_families;
    QHash<QString, int> m_familyAt;
    std::vector<ParameterFamily> m_links;
    QMultiHash<QString, int> m_linksOf; // function -> positions in m_links
};

// The source text: enums.tsv (NAME, COMBINES 0 or 1, MEMBERS separated by one blank) and
// params.tsv (FUNCTION, PARAMETER, FAMILY, SOURCE); TAB between fields, "#" a comment.
namespace ParameterSource {

// Whether the source file (by its name) is enums.tsv or params.tsv.
bool isParameterFile(const QString &fileName);

// What the links are checked against: every constant's name, and each function's
// classic declaration (by catalogue name). An empty map leaves functions unchecked.
struct Known
{
    QSet<QString> constants;
    QHash<QString, QString> declarations;
};

struct ParseResult
{
    ParameterConstants table;
    QStringList errors; // "file:line: what is wrong"
};

// Reads the families first, whatever order the files come in, then the links. Refused:
// a wrong field count, a COMBINES other than 0 or 1, a member that is no constant, a
// family given twice, a link to a family that does not exist, a function the catalogue
// does not have or whose declaration has no such parameter, a link given twice, a source
// other than metadata or override.
ParseResult parseFiles(const QStringList &files, const Known &known);

} // namespace ParameterSource

namespace ParameterStore {

// Adds tables ConstEnum and ParamEnum (indexed on Function) to an existing database
// file. Returns an empty text on success, else what went wrong.
QString write(const QString &databaseFile, const ParameterConstants &table);

// Reads both tables from an open database; nothing when it has neither (an older
// catalogue). Rows and characters count against the budgets given, which shrink; past
// one, what was read so far is kept.
ParameterConstants read(sqlite3 *db, qint64 &rows, qint64 &characters);

} // namespace ParameterStore
