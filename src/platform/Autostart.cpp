#include "Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

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
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
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
    // The program is quoted even where it need not be: a path may hold anything.
    QString command = argumentText(program, true);
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

bool Autostart::enable(const QString &program) const
{
    if (m_entryFile.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(m_entryFile).absolutePath()))
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
    const QFileInfo entry(m_entryFile);
    if (!entry.exists() && !entry.isSymLink())
        return true;
    return QFile::remove(m_entryFile);
}

bool Autostart::isEnabled() const
{
    return !m_entryFile.isEmpty() && QFileInfo::exists(m_entryFile);
}
