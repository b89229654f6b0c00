#include "app/PersianLook.h"
#include "app/mdlMain.h"
#include "ui/main/frmMain.h"
#include "ui/main/QtPrompter.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kel"));
    QApplication::setApplicationName(QStringLiteral("Vorn"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(VORN_VERSION_MAJOR)
                                            .arg(VORN_VERSION_MINOR)
                                            .arg(VORN_VERSION_PATCH));
    PersianLook::apply();
    // The desktop ties the windows to the menu entry vorn.desktop and its icon.
    QApplication::setDesktopFileName(QStringLiteral("vorn"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vorn")));

    QtPrompter prompter;
    mdlMain::Program program({QApplication::applicationDirPath(), QString(), &prompter});
    if (program.Main(mdlMain::argumentString(QApplication::arguments())) == mdlMain::Program::Road::Ended)
        return 0;
    prompter.setParentWindow(program.mainWindow());
    // For the start-up benchmark: say when the window is shown and the event loop has
    // nothing left to do, then end.
    if (qEnvironmentVariableIsSet("VORN_REPORT_READY")) {
        QTimer::singleShot(0, &app, [] {
            QFile status(QStringLiteral("/proc/self/status"));
            QByteArray peak;
            if (status.open(QIODevice::ReadOnly)) {
                for (const QByteArray &line : status.readAll().split('\n'))
                    if (line.startsWith("VmHWM:"))
                        peak = line.mid(6).trimmed();
            }
            std::printf("ready %s\n", peak.constData());
            std::fflush(stdout);
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
