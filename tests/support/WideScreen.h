#pragma once

#include <QFile>
#include <QTemporaryDir>

// Off screen, a screen as wide as a desktop's (1920 x 1080), so that a window has room
// beside the main window. Called before the application is made; the folder keeps the
// screen's description for the run.
inline void useWideOffscreenScreen(const QTemporaryDir &dir)
{
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen")
        return;
    QFile config(dir.filePath(QStringLiteral("screens.json")));
    if (config.open(QIODevice::WriteOnly))
        config.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}

// A test program's main() on that wide screen.
#define VORN_WIDE_SCREEN_TEST_MAIN(TestClass) \
    int main(int argc, char *argv[]) \
    { \
        QTemporaryDir dir; \
        useWideOffscreenScreen(dir); \
        QApplication app(argc, argv); \
        TestClass test; \
        return QTest::qExec(&test, argc, argv); \
    }
