#include "app/CommandLine.h"
#include "app/EndSignals.h"
#include "app/PersianLook.h"
#include "app/ScaleFactor.h"
#include "app/mdlMain.h"
#include "platform/Texts.h"
#include "ui/main/frmMain.h"
#include "ui/main/QtPrompter.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

QtMessageHandler qtHandler = nullptr;

// While the application connects to the display: with no graphical session the platform
// plugin's complaints and the fatal advice to reinstall give way to one line that says
// what is missing, and the exit status 1.
void startupMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", Texts::noGraphicalSession.toUtf8().constData());
        std::_Exit(1);
    }
    if (context.category && std::strncmp(context.category, "qt.qpa.", 7) == 0)
        return;
    qtHandler(type, context, text);
}

} // namespace

int main(int argc, char *argv[])
{
    // Options for scripts need no display: no graphical application is made for them.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (CommandLine::wanted(arguments)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return CommandLine::run(QCoreApplication::arguments(), QCoreApplication::applicationDirPath(), out, err);
    }


    const QString scaleWarning = ScaleFactor::sanitize();
    if (!scaleWarning.isEmpty())
        std::fprintf(stderr, "%s\n", scaleWarning.toUtf8().constData());
    qtHandler = qInstallMessageHandler(startupMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
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
    // As a close: the main window stores its place and the settings and stops an analysis;
    // then every event loop ends, open dialogs included.
    const EndSignals endSignals([&program] {
        if (frmMain *main = program.mainWindow())
            main->close();
        QCoreApplication::exit(0);
    });
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
