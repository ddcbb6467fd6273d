// Takes a picture of the main window as the X server shows it, themed as the
// program is, and saves it as PNG. A helper for the documentation, not a test:
//   xvfb-run -a -s "-screen 0 1600x900x24" korvale-window-shot docs/window.png

#include "MainFrm.h"
#include "Theme.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[]) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvale"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("window.png");
    const QString themeError = ApplyKorvaleTheme(app);
    if (!themeError.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(themeError));

    TForm_Main window;
    window.show();
    int rc = 1;
    QTimer::singleShot(1500, &app, [&] {
        QScreen *screen = window.screen();
        const QRect frame = window.frameGeometry();
        QPixmap shot = screen ? screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                              : QPixmap();
        if (shot.isNull())
            shot = window.grab();
        rc = shot.save(out) ? 0 : 1;
        std::printf("%s: %dx%d window at %d,%d, title \"%s\"\n", qPrintable(out), frame.width(), frame.height(),
                    frame.x(), frame.y(), qPrintable(window.windowTitle()));
        app.quit();
    });
    QApplication::exec();
    return rc;
}
