#include "PickList.h"

#include "PickCatalogue.h"
#include "catalogue/CatalogueRecord.h"
#include "catalogue/ConstantTable.h"
#include "output/ModuleFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace {

const QByteArray formatLine = "Vorn pick list 1";
const QByteArray functionWord = "function";
const QByteArray constantWord = "constant";
// Far more than the catalogue's functions and constants together; a larger file is no list of ours.
constexpr qint64 largestFile = 16 * 1024 * 1024;

const QString unusableFile = QStringLiteral(
    "فايل فهرست انتخاب خراب است يا از اين برنامه نيست؛ فهرست خالي آغاز مي‌شود و چيزي در آن فايل نوشته نمي‌شود:");
const QString namesDropped = QStringLiteral("اين نام‌ها ديگر در فهرست توابع نيستند و از فهرست انتخاب برداشته شدند:");

// The entries of the file's bytes; nothing where a line is not an entry.
std::optional<std::vector<PickList::Entry>> parse(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 2 || lines.front() != formatLine || !lines.back().isEmpty())
        return std::nullopt;
    std::vector<PickList::Entry> entries;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const qsizetype tab = line.indexOf('\t');
        const QByteArray kind = line.first(std::max<qsizetype>(tab, 0));
        if (tab < 0 || (kind != functionWord && kind != constantWord))
            return std::nullopt;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString name = utf8(line.sliced(tab + 1));
        const bool printable = std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.isPrint(); });
        if (utf8.hasError() || name.isEmpty() || !printable)
            return std::nullopt;
        entries.push_back({kind == functionWord ? PickList::Kind::Function : PickList::Kind::Constant, name});
    }
    return entries;
}

} // namespace

PickList::Loaded PickList::read(const QString &file, const PickCatalogue &catalogue)
{
    Loaded loaded;
    const QFileInfo info(file);
    if (file.isEmpty() || (!info.exists() && !info.isSymLink()))
        return loaded;
    // Not opened unless a regular file: a pipe would hold the start up.
    QFile in(file);
    std::optional<std::vector<Entry>> entries;
    if (info.isFile() && info.size() <= largestFile && in.open(QIODevice::ReadOnly))
        entries = parse(in.read(largestFile + 1));
    if (!entries) {
        loaded.writable = false;
        loaded.warnings << unusableFile + QLatin1Char('\n') + file;
        return loaded;
    }
    QStringList dropped;
    for (Entry &entry : *entries) {
        // The catalogue's spelling, where the file's differs in letter case.
        const CatalogueRecord *function = entry.kind == Kind::Function ? catalogue.function(entry.name) : nullptr;
        const Constant *constant = entry.kind == Kind::Constant ? catalogue.constant(entry.name) : nullptr;
        if (!function && !constant) {
            dropped << entry.name;
            continue;
        }
        entry.name = function ? (*function)[CatalogueRecord::FunctionName] : constant->name;
        if (std::find(loaded.entries.cbegin(), loaded.entries.cend(), entry) == loaded.entries.cend())
            loaded.entries.push_back(std::move(entry));
    }
    if (!dropped.isEmpty())
        loaded.warnings << namesDropped + QLatin1Char('\n') + dropped.join(QStringLiteral(", "));
    return loaded;
}

QString PickList::defaultFile()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home))
            return QString();
        data = home + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(data + QStringLiteral("/Kel/Vorn.picklist"));
}

QByteArray PickList::bytes(const std::vector<Entry> &entries)
{
    QByteArray out = formatLine + '\n';
    for (const Entry &entry : entries)
        out += (entry.kind == Kind::Function ? functionWord : constantWord) + '\t' + entry.name.toUtf8() + '\n';
    return out;
}

PickList::PickList(QString file, const PickCatalogue &catalogue)
    : m_file(std::move(file))
{
    Loaded loaded = read(m_file, catalogue);
    m_entries = std::move(loaded.entries);
    m_writable = loaded.writable;
    m_warnings = std::move(loaded.warnings);
}

QStringList PickList::names(Kind kind) const
{
    QStringList out;
    for (const Entry &entry : m_entries) {
        if (entry.kind == kind)
            out << entry.name;
    }
    return out;
}

bool PickList::add(Kind kind, const QString &name)
{
    const Entry entry{kind, name};
    if (std::find(m_entries.cbegin(), m_entries.cend(), entry) != m_entries.cend())
        return false;
    m_entries.push_back(entry);
    save();
    return true;
}

void PickList::remove(std::vector<qsizetype> indexes)
{
    // From the last, so that each index still names the entry it named.
    std::sort(indexes.begin(), indexes.end(), std::greater<>());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    for (const qsizetype index : indexes) {
        if (index >= 0 && index < static_cast<qsizetype>(m_entries.size()))
            m_entries.erase(m_entries.begin() + index);
    }
    save();
}

void PickList::clear()
{
    m_entries.clear();
    save();
}

void PickList::save()
{
    if (m_file.isEmpty() || !m_writable || !QDir().mkpath(QFileInfo(m_file).absolutePath()))
        return;
    ModuleFile::write(m_file, bytes(m_entries));
}
