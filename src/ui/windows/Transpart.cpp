#include "Transpart.h"

#include "FadeSteps.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>


namespace Transpart {

namespace {

constexpr char alphaProperty[] = "vornWindowAlpha";

} // namespace

bool platformHasWindowOpacity()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("windows")
        || platform == QLatin1String("cocoa");
}

void SetWindowAlpha(QWidget *window, quint8 alpha)
{
    window->setProperty(alphaProperty, int(alpha));
    if (platformHasWindowOpacity())
        window->setWindowOpacity(alpha / 255.0);
}

int windowAlpha(const QWidget *window)
{
    const QVariant alpha = window->property(alphaProperty);
    return alpha.isValid() ? alpha.toInt() : 255;
}

void FadeForm(QWidget *window, bool fadeIn, quint8 step)
{
    const QPointer<QWidget> guard(window);
    window->setEnabled(false);
    // Clear before the window first appears, so that it never flashes opaque.
    if (fadeIn)
        SetWindowAlpha(window, 0);
    window->show();
    if (fadeIn)
        SetWindowAlpha(window, 0);
    for (const quint8 alpha : FadeSteps::opacities(fadeIn, step)) {
        QCoreApplication::processEvents();
        if (!guard)
            return;
        SetWindowAlpha(window, alpha);
    }
    window->setEnabled(true);
}

} // namespace Transpart
