#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// For as long as it lives, the user's configuration folder (XDG_CONFIG_HOME: the settings
// store and the login entry) is a fresh temporary folder, so no test touches the real one.
class TempSettings
{
public:
    TempSettings() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path())); }
    ~TempSettings() { m_hadPrevious ? qputenv("XDG_CONFIG_HOME", m_previous) : qunsetenv("XDG_CONFIG_HOME"); }
    Q_DISABLE_COPY_MOVE(TempSettings)

    QString folder() const { return m_dir.path(); }
    // The settings store: folder/Kel/Vorn.ini.
    QString storeFile() const { return QDir(m_dir.path()).filePath(QStringLiteral("Kel/Vorn.ini")); }
    // The login entry: folder/autostart/vorn.desktop.
    QString autostartFile() const { return QDir(m_dir.path()).filePath(QStringLiteral("autostart/vorn.desktop")); }

private:
    QByteArray m_previous = qgetenv("XDG_CONFIG_HOME");
    bool m_hadPrevious = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    QTemporaryDir m_dir;
};
