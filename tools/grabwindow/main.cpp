// Saves the picture of one window of the X display as a PNG file, for the screenshots
// that the README and the software-centre description show.
//   grabwindow WINDOW-ID FILE      (the id in decimal, as xdotool prints it)
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    bool isNumber = false;
    const WId window = arguments.size() == 3 ? arguments.at(1).toULongLong(&isNumber) : 0;
    if (!isNumber) {
        std::fprintf(stderr, "usage: grabwindow WINDOW-ID FILE\n");
        return 2;
    }
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
    if (picture.isNull() || !picture.save(arguments.at(2), "PNG")) {
        std::fprintf(stderr, "grabwindow: could not save the window's picture\n");
        return 1;
    }
    return 0;
}
