#include "FormPosition.h"

#include "platform/Twips.h"
#include "settings/FormSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace FormSettings {

namespace {

// One scale for the whole desktop: the places of windows on different screens must stay
// comparable, so the primary screen's logical resolution converts them all.
struct Scale
{
    double x = 96.0;
    double y = 96.0;
};

Scale desktopScale()
{
    Scale scale;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        if (screen->logicalDotsPerInchX() > 0)
            scale.x = screen->logicalDotsPerInchX();
        if (screen->logicalDotsPerInchY() > 0)
            scale.y = screen->logicalDotsPerInchY();
    }
    return scale;
}

QRect toTwips(const QRect &pixels, const Scale &scale)
{
    return QRect(Twips::fromPixels(pixels.x(), scale.x), Twips::fromPixels(pixels.y(), scale.y),
                 Twips::fromPixels(pixels.width(), scale.x), Twips::fromPixels(pixels.height(), scale.y));
}

// Room for the frame the window manager draws around the inside, which is known only once
// the window is on screen: a border on each side, and a title bar above.
QSize frameExtent(const QWidget &form)
{
    const int border = 2 * form.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    return QSize(border, form.style()->pixelMetric(QStyle::PM_TitleBarHeight) + border);
}

QString formName(const QWidget &form)
{
    return form.objectName();
}

} // namespace

FormGeometry formGeometry(const QWidget &form)
{
    // pos() of a window is its outer edge; the size is the inside, which is what resize()
    // takes back: the frame the window manager draws is known only once the window is on
    // screen, so an outer size could not be given back before the window is shown.
    const Scale scale = desktopScale();
    FormGeometry geometry;
    geometry.left = Twips::fromPixels(form.x(), scale.x);
    geometry.top = Twips::fromPixels(form.y(), scale.y);
    geometry.width = Twips::fromPixels(form.width(), scale.x);
    geometry.height = Twips::fromPixels(form.height(), scale.y);
    return geometry;
}

void SaveFormPosition(const QWidget &form, const QString &applicationName, bool PositionOnly)
{
    SaveFormPosition(formName(form), formGeometry(form), applicationName, PositionOnly);
}

void RestoreFormPosition(QWidget &form, const QString &applicationName, bool PositionOnly)
{
    const FormGeometry current = formGeometry(form);
    FormGeometry geometry = current;
    FormGeometry::Fields restored = RestoreFormPosition(formName(form), geometry, applicationName, PositionOnly);
    const Scale scale = desktopScale();
    if (!restored) {
        // A first start: the designed size must still fit the screen, frame included.
        const QScreen *screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
        if (PositionOnly || !screen)
            return;
        const QSize frame = frameExtent(form);
        const QRect area = screen->availableGeometry().adjusted(0, 0, -frame.width(), -frame.height());
        const FormGeometry fitted = fitInto(current, toTwips(area, scale));
        if (fitted == current)
            return;
        form.resize(Twips::toPixels(fitted.width, scale.x), Twips::toPixels(fitted.height, scale.y));
        form.move(Twips::toPixels(fitted.left, scale.x), Twips::toPixels(fitted.top, scale.y));
        return;
    }

    QList<QRect> screens;
    const QList<QScreen *> all = QGuiApplication::screens();
    for (const QScreen *screen : all)
        screens << toTwips(screen->availableGeometry(), scale);
    const QSize frame = frameExtent(form);
    const FormGeometry placed = PositionOnly
        ? keepOnScreens(geometry, screens)
        : placeOnScreens(geometry, screens, QSize(Twips::fromPixels(frame.width(), scale.x), Twips::fromPixels(frame.height(), scale.y)));
    if (placed.left != geometry.left)
        restored |= FormGeometry::Left;
    if (placed.top != geometry.top)
        restored |= FormGeometry::Top;
    if (placed.width != geometry.width)
        restored |= FormGeometry::Width;
    if (placed.height != geometry.height)
        restored |= FormGeometry::Height;

    if (restored & (FormGeometry::Width | FormGeometry::Height))
        form.resize(Twips::toPixels(placed.width, scale.x), Twips::toPixels(placed.height, scale.y));
    // Moving a window tells Qt that its place is chosen, so only a restored place moves it.
    if (restored & (FormGeometry::Left | FormGeometry::Top))
        form.move(Twips::toPixels(placed.left, scale.x), Twips::toPixels(placed.top, scale.y));
}

} // namespace FormSettings
