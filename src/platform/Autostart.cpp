#include "Autostart.h"

#include "ConfigFolder.h"
#include "InPlaceWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <optional>

namespace {

// The characters that make the launcher split or interpret an unquoted argument.
bool isReserved(QChar ch)
{
    static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`");
    return reserved.contains(ch);
}

QString argumentText(const QString &argument, bool alwaysQuote)
{
    const bool quote = alwaysQuote || argument.isEmpty() || std::any_of(argument.begin(), argument.end(), isReserved);
    QString text;
    if (quote)
        text += QLatin1Char('"');
    for (const QChar ch : argument) {
        if (ch == QLatin1Char('%')) {
            text += QLatin1String("%%");
            continue;
        }
        if (quote && (ch == QLatin1Char('"') || ch == QLatin1Char('`') || ch == QLatin1Char('$')
                      || ch == QLatin1Char('\\')))
            text += QLatin1Char('\\');
        text += ch;
    }
    if (quote)
        text += QLatin1Char('"');
    return text;
}

} // namespace

Autostart::Autostart(QString entryFile)
    : m_entryFile(std::move(entryFile))
{
}

QString Autostart::defaultEntryFile()
{
    const QString folder = configFolder();
    if (folder.isEmpty())
        return QString();
    return QDir(folder).filePath(QStringLiteral("autostart/vorn.desktop"));
}

QString Autostart::execArgument(const QString &argument)
{
    return argumentText(argument, false);
}

QString Autostart::execLine(const QString &program, const QStringList &arguments)
{
    // The program is quoted even where it need not be: a path may hold anything. A path
    // with a '%' is started through env: launchers look the program up before they turn
    // "%%" back into '%', and would find none.
    QString command = argumentText(program, true);
    if (program.contains(QLatin1Char('%')))
        command.prepend(QLatin1String("env "));
    for (const QString &argument : arguments)
        command += QLatin1Char(' ') + execArgument(argument);

    // The value's own escapes come on top of the quoting: a launcher undoes them first.
    QString value;
    for (const QChar ch : command) {
        switch (ch.unicode()) {
        case '\\': value += QLatin1String("\\\\"); break;
        case '\n': value += QLatin1String("\\n"); break;
        case '\r': value += QLatin1String("\\r"); break;
        case '\t': value += QLatin1String("\\t"); break;
        default: value += ch;
        }
    }
    return value;
}

QByteArray Autostart::entryText(const QString &program)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Vorn\n"
                                        "Exec=")
        + execLine(program, {QStringLiteral("-d")})
        + QStringLiteral("\n"
                         "Terminal=false\n"
                         "X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

namespace {

// The program an Exec line of entryText() starts: its value's escapes and the quoting of
// the program undone. Nothing for a line that entryText() cannot have written.
std::optional<QString> programOf(const QByteArray &entry)
{
    const QString text = QString::fromUtf8(entry);
    const bool env = text.contains(QLatin1String("\nExec=env \""));
    const QString exec = env ? QStringLiteral("\nExec=env \"") : QStringLiteral("\nExec=\"");
    const qsizetype start = text.indexOf(exec);
    const qsizetype end = text.indexOf(QLatin1String("\" -d\n"), start);
    if (start < 0 || end < 0)
        return std::nullopt;
    // The value's escapes first, then the quoting's.
    const QString value = text.mid(start + exec.size(), end - start - exec.size());
    QString command;
    for (qsizetype i = 0; i < value.size(); ++i) {
        QChar ch = value.at(i);
        if (ch == QLatin1Char('\\') && i + 1 < value.size()) {
            switch ((ch = value.at(++i)).unicode()) {
            case 'n': ch = u'\n'; break;
            case 'r': ch = u'\r'; break;
            case 't': ch = u'\t'; break;
            default: break;
            }
        }
        command += ch;
    }
    QString program;
    for (qsizetype i = 0; i < command.size(); ++i)
        program += command.at(i) == QLatin1Char('\\') && i + 1 < command.size() ? command.at(++i) : command.at(i);
    program.replace(QLatin1String("%%"), QLatin1String("%"));
    return program;
}

QByteArray contentOf(const QString &file)
{
    QFile entry(file);
    // A regular file only: a pipe would wait for a writer.
    if (!QFileInfo(file).isFile() || !entry.open(QIODevice::ReadOnly))
        return {};
    return entry.read(64 * 1024);
}

} // namespace

namespace {

// The program that the entry in file starts, when the entry is exactly what entryText()
// writes for it.
std::optional<QString> ownEntryProgram(const QString &file)
{
    const QByteArray entry = contentOf(file);
    const std::optional<QString> program = programOf(entry);
    return program && Autostart::entryText(*program) == entry ? program : std::nullopt;
}

} // namespace

bool Autostart::isOwnEntry() const
{
    return ownEntryProgram(m_entryFile).has_value();
}

bool Autostart::isOwnEntryOfMovedProgram(const QString &program) const
{
    const std::optional<QString> started = ownEntryProgram(m_entryFile);
    return started && *started != program && !QFileInfo::exists(*started);
}

bool Autostart::starts(const QString &program) const
{
    return contentOf(m_entryFile) == entryText(program);
}

bool Autostart::enable(const QString &program) const
{
    if (m_entryFile.isEmpty())
        return false;
    const QFileInfo info(m_entryFile);
    if (info.isSymLink()) {
        // Never replace a file that is not this program's own: the link's target is
        // written only when it is a regular file that is empty or holds such an entry.
        const QFileInfo target(info.symLinkTarget());
        if (!target.isFile() || (target.size() > 0 && !isOwnEntry()))
            return false;
        return rewriteInPlace(target.filePath(), entryText(program));
    }
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QSaveFile file(m_entryFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Flushed here: a write that fails only when the buffer goes out (a full disk, the
    // file size limit) is not seen by commit(), which would put the piece in place.
    const QByteArray text = entryText(program);
    if (file.write(text) != text.size() || !file.flush())
        return false;
    return file.commit();
}
bool Autostart::disable() const
{
    if (m_entryFile.isEmpty())
        return true;
    // What is no entry (a folder of that name) starts nothing and is not this program's.
    const QFileInfo entry(m_entryFile);
    if (!entry.isFile() && !entry.isSymLink())
        return true;
    return QFile::remove(m_entryFile);
}

bool Autostart::isEnabled() const
{
    return !m_entryFile.isEmpty() && QFileInfo(m_entryFile).isFile();
}
