#include "WindowPlace.h"

#include "WindowLayout.h"
#include "settings/FormSettings.h"
#include "settings/ProgramSettings.h"

#include <QScreen>
#include <QWidget>

namespace WindowPlace {

void besideParent(QWidget &window)
{
    QWidget *main = window.parentWidget();
    FormGeometry stored;
    if (!main || !main->isVisible()
        || FormSettings::RestoreFormPosition(window.objectName(), stored, ProgramSettings::applicationName, false).toInt() != 0)
        return;
    const QScreen *screen = main->screen();
    if (!screen)
        return;
    // The frame this window will get is the one the main window has.
    const QSize frame = main->frameGeometry().size() - main->size();
    window.move(WindowLayout::beside(main->frameGeometry(), window.size() + frame, screen->availableGeometry()));
}

} // namespace WindowPlace
