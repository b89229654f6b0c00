#include "SearchWords.h"

#include "SearchFold.h"

#include <QFile>

namespace {

// The lines of a list that carry an entry.
QStringList entries(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith(u'#'))
            lines.append(trimmed);
    }
    return lines;
}

QString shippedList(const QString &name)
{
    QFile file(QStringLiteral(":/find/words/") + name);
    // Compiled into the program: a missing list is a broken build, and the search then
    // works without it, on whole words as typed.
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

SearchWords::SearchWords(const QString &suffixes, const QString &variants)
{
    for (const QString &line : entries(suffixes)) {
        const QString folded = SearchFold::query(line).remove(u' ');
        if (!folded.isEmpty() && !m_suffixes.contains(folded))
            m_suffixes.append(folded);
    }
    std::sort(m_suffixes.begin(), m_suffixes.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });

    for (const QString &line : entries(variants)) {
        Group group;
        QStringList keys;
        for (const QString &written : line.split(u'|')) {
            const QStringList parts = SearchFold::query(written).split(u' ', Qt::SkipEmptyParts);
            if (parts.isEmpty())
                continue;
            const QString joined = parts.join(QString());
            if (keys.contains(joined) || m_groupOf.contains(joined))
                continue;
            keys.append(joined);
            if (SearchFold::isPersian(joined))
                group.persian.append(parts);
            else
                group.latin.append(joined);
        }
        if (keys.size() < 2)
            continue;
        for (const QString &key : std::as_const(keys))
            m_groupOf.insert(key, m_groups.size());
        m_groups.append(std::move(group));
    }
}

const SearchWords &SearchWords::shipped()
{
    static const SearchWords words(shippedList(QStringLiteral("suffixes.txt")), shippedList(QStringLiteral("variants.txt")));
    return words;
}

bool SearchWords::isSuffixChain(QStringView rest) const
{
    if (rest.isEmpty())
        return false;
    // Endings are a few letters long and a word takes two or three at most: trying each
    // ending at each step is cheap.
    for (const QString &suffix : m_suffixes) {
        if (rest.startsWith(suffix)) {
            const QStringView more = rest.sliced(suffix.size());
            if (more.isEmpty() || isSuffixChain(more))
                return true;
        }
    }
    return false;
}

bool SearchWords::isSuffix(QStringView word) const
{
    return std::any_of(m_suffixes.begin(), m_suffixes.end(), [word](const QString &s) { return s == word; });
}

const SearchWords::Group *SearchWords::groupOf(const QString &joined) const
{
    const auto found = m_groupOf.constFind(joined);
    return found == m_groupOf.constEnd() ? nullptr : &m_groups[*found];
}
