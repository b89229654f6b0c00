#include "NameKinds.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

// The function a declaration calls: its Alias, or the record's own name.
QString entryPoint(const QString &name, const QString &declaration)
{
    static const QRegularExpression alias(QStringLiteral(R"re(\bLib\s+"[^"]*"\s+Alias\s+"([^"]+)")re"),
                                          QRegularExpression::CaseInsensitiveOption);
    const qsizetype at = declaration.indexOf(QLatin1String("Alias"), 0, Qt::CaseInsensitive);
    if (at < 0)
        return name;
    const QRegularExpressionMatch match = alias.match(declaration);
    return match.hasMatch() ? match.captured(1) : name;
}

// A name of the tables as a key of the hash, without a copy.
QByteArray viewed(QByteArrayView name)
{
    return QByteArray::fromRawData(name.data(), name.size());
}

} // namespace

NameKinds::NameKinds(const QStringList &names, const QStringList &declarations, const QStringList &libraries)
{
    m_libraries.reserve(names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        m_libraries.append(libraryKey(libraries.value(i)));
        const QString entry = entryPoint(names.at(i), declarations.value(i));
        // Function names in tables are plain ASCII; a name that is not cannot be in one.
        bool ascii = !entry.isEmpty();
        for (const QChar c : entry)
            ascii = ascii && c.unicode() > 0 && c.unicode() < 0x80;
        if (ascii)
            m_byEntryPoint[entry.toLatin1()].append(i);
    }
}

QString NameKinds::libraryKey(QStringView dll)
{
    const qsizetype slash = std::max(dll.lastIndexOf(u'\\'), dll.lastIndexOf(u'/'));
    dll = dll.sliced(slash + 1).trimmed();
    if (dll.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive))
        dll.chop(4);
    return dll.toString().toLower();
}

QList<NameKinds::Row> NameKinds::group(const QList<qsizetype> &found, const PeImage::Tables &tables) const
{
    QHash<qsizetype, Row> rows;
    QList<Row> ordinals;
    QSet<std::pair<QByteArray, quint16>> ordinalsSeen;
    for (const PeImage::Import &import : tables.imports) {
        if (import.name.isEmpty()) {
            const std::pair<QByteArray, quint16> seen(import.dll.toByteArray().toLower(), import.ordinal);
            if (!ordinalsSeen.contains(seen)) {
                ordinalsSeen.insert(seen);
                ordinals.append({-1, Kind::Imported, QString::fromLatin1(import.dll), false, import.ordinal});
            }
            continue;
        }
        const auto names = m_byEntryPoint.constFind(viewed(import.name));
        if (names == m_byEntryPoint.cend())
            continue;
        const QString dll = QString::fromLatin1(import.dll);
        for (const qsizetype i : *names) {
            if (!rows.contains(i))
                rows.insert(i, {i, Kind::Imported, dll, !m_libraries.at(i).isEmpty() && libraryKey(dll) != m_libraries.at(i)});
        }
    }
    for (const QByteArrayView name : tables.exports) {
        for (const qsizetype i : m_byEntryPoint.value(viewed(name))) {
            if (!rows.contains(i))
                rows.insert(i, {i, Kind::Exported, {}, false});
        }
    }
    for (const qsizetype i : found) {
        if (!rows.contains(i))
            rows.insert(i, {i, Kind::String, {}, false});
    }
    QList<Row> ordered = rows.values();
    std::sort(ordered.begin(), ordered.end(),
              [](const Row &a, const Row &b) { return std::pair(a.kind, a.index) < std::pair(b.kind, b.index); });
    // After the named imports, before the exports.
    const qsizetype at = std::find_if(ordered.cbegin(), ordered.cend(), [](const Row &row) { return row.kind != Kind::Imported; })
                         - ordered.cbegin();
    ordered.insert(at, ordinals.size(), Row{});
    std::copy(ordinals.cbegin(), ordinals.cend(), ordered.begin() + at);
    return ordered;
}
