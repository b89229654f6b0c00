#include "app/mdlMain.h"
#include "ui/main/frmMain.h"
#include "ui/main/QtPrompter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kel"));
    QApplication::setApplicationName(QStringLiteral("Vorn"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(VORN_VERSION_MAJOR)
                                            .arg(VORN_VERSION_MINOR)
                                            .arg(VORN_VERSION_PATCH));
    QApplication::setLayoutDirection(Qt::RightToLeft);

    QtPrompter prompter;
    mdlMain::Program program({QApplication::applicationDirPath(), QString(), &prompter});
    if (program.Main(mdlMain::argumentString(QApplication::arguments())) == mdlMain::Program::Road::Ended)
        return 0;
    prompter.setParentWindow(program.mainWindow());
    return QApplication::exec();
}
