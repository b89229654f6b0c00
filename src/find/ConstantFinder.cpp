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

std::vector<int> ConstantFinder::find(const QString &text, const QString &family) const
{
    const QString needle = text.trimmed();
    const std::optional<qint32> value = BasicLiteral::parse(needle);
    std::vector<int> found;
    for (size_t i = 0; i < m_table.constants.size(); ++i) {
        const Constant &c = m_table.constants[i];
        if (!family.isEmpty() && c.family != family)
            continue;
        if (value ? c.value == *value : c.name.contains(needle, Qt::CaseInsensitive))
            found.push_back(static_cast<int>(i));
    }
    return found;
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
