#include "TempSettings.h"

#include <QDir>
#include <QFile>

TempSettings::TempSettings()
    : m_previous(qgetenv("XDG_CONFIG_HOME"))
    , m_hadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
}

TempSettings::~TempSettings()
{
    if (m_hadPrevious)
        qputenv("XDG_CONFIG_HOME", m_previous);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QString TempSettings::storeFile() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("Kel/Vorn.ini"));
}

QString TempSettings::autostartFile() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("autostart/vorn.desktop"));
}
