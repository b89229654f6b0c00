#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// For as long as it lives, the user's configuration folder (XDG_CONFIG_HOME: the settings
// store and the login entry) is a fresh temporary folder, so no test touches the real one.
class TempSettings
{
public:
    TempSettings();
    ~TempSettings();
    Q_DISABLE_COPY_MOVE(TempSettings)

    QString folder() const { return m_dir.path(); }
    // The settings store: folder/Kel/Vorn.ini.
    QString storeFile() const;
    // The login entry: folder/autostart/vorn.desktop.
    QString autostartFile() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious = false;
};
