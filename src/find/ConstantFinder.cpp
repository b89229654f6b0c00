#include "ConstantFinder.h"

#include "catalogue/BasicLiteral.h"

#include <QRegularExpression>
#include <QSet>

ConstantFinder::ConstantFinder(const ConstantTable &table)
    : m_table(table)
{
    m_byName.reserve(static_cast<qsizetype>(m_table.constants.size()));
    for (size_t i = 0; i < m_table.constants.size(); ++i)
        m_byName.insert(m_table.constants[i].name, static_cast<int>(i));
}

namespace {

// "As String = " as a Const line writes it; the value follows the first " = ".
const QLatin1String stringType(" As String = ");

} // namespace

bool ConstantFinder::isString(const Constant &constant)
{
    return constant.line.contains(stringType, Qt::CaseInsensitive);
}

QString ConstantFinder::valueText(const Constant &constant)
{
    // The first " = " ends the name and type: a string's text may hold one of its own.
    const qsizetype equals = constant.line.indexOf(QLatin1String(" = "));
    return equals < 0 ? QString() : constant.line.mid(equals + 3).trimmed();
}

std::optional<qint32> ConstantFinder::typedValue(const QString &text)
{
    QString t = text.trimmed();
    const bool negative = t.startsWith(QLatin1Char('-'));
    const QString digits = negative ? t.mid(1) : t;
    if (!digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return BasicLiteral::parse(text);
    QString hex = digits.mid(2);
    // C's suffixes of an unsigned or long literal.
    static const QRegularExpression suffix(QStringLiteral("(?:[uU](?:ll|LL|[lL])?|(?:ll|LL|[lL])[uU]?)$"));
    hex.remove(suffix);
    static const QRegularExpression hexDigits(QStringLiteral("^[0-9A-Fa-f]{1,16}$"));
    if (!hexDigits.match(hex).hasMatch())
        return std::nullopt;
    bool ok = false;
    quint64 magnitude = hex.toULongLong(&ok, 16);
    if (!ok)
        return std::nullopt;
    // A negative Long that a 64-bit value carries: the upper half all ones.
    if (magnitude > 0xFFFFFFFFULL) {
        if (negative || (magnitude >> 31) != 0x1FFFFFFFFULL)
            return std::nullopt;
        magnitude &= 0xFFFFFFFFULL;
    }
    if (negative && magnitude > 0x80000000ULL)
        return std::nullopt;
    const qint64 value = negative ? -static_cast<qint64>(magnitude) : static_cast<qint64>(magnitude);
    return static_cast<qint32>(static_cast<quint32>(value));
}

std::vector<int> ConstantFinder::find(const QString &text, const QString &family) const
{
    std::vector<int> all;
    all.reserve(m_table.constants.size());
    for (size_t i = 0; i < m_table.constants.size(); ++i) {
        if (family.isEmpty() || m_table.constants[i].family == family)
            all.push_back(static_cast<int>(i));
    }
    return findAmong(text, all);
}

std::vector<int> ConstantFinder::findAmong(const QString &text, const std::vector<int> &positions) const
{
    const QString needle = text.trimmed();
    const std::optional<qint32> value = typedValue(needle);
    std::vector<int> found;
    for (const int i : positions) {
        const Constant &c = at(i);
        if (value ? c.value == *value && !isString(c) : c.name.contains(needle, Qt::CaseInsensitive))
            found.push_back(i);
    }
    return found;
}

std::vector<int> ConstantFinder::members(const ConstantFamily &family) const
{
    std::vector<int> out;
    for (const QString &name : family.members) {
        const auto position = m_byName.constFind(name);
        if (position != m_byName.cend())
            out.push_back(*position);
    }
    return out;
}

QStringList ConstantFinder::families() const
{
    QSet<QString> seen;
    QStringList out;
    for (const Constant &c : m_table.constants) {
        if (!seen.contains(c.family)) {
            seen.insert(c.family);
            out << c.family;
        }
    }
    out.sort();
    return out;
}

QString ConstantFinder::familyCaption(const QString &family) const
{
    const QString name = m_table.familyNames.value(family);
    return name.isEmpty() ? family : family + QStringLiteral("  ") + name;
}

std::vector<int> ConstantFinder::namedIn(const QString &description) const
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*"));
    std::vector<int> found;
    QSet<int> seen;
    for (auto it = word.globalMatch(description); it.hasNext();) {
        const auto position = m_byName.constFind(it.next().captured());
        if (position != m_byName.cend() && !seen.contains(*position)) {
            seen.insert(*position);
            found.push_back(*position);
        }
    }
    return found;
}

QString ConstantFinder::lines(const std::vector<int> &positions) const
{
    QStringList out;
    for (const int p : positions)
        out << at(p).line;
    return out.join(QStringLiteral("\r\n"));
}

std::vector<int> ConstantFinder::familyOf(int position) const
{
    return find(QString(), at(position).family);
}
