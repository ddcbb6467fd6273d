// korvale-live-shot: a picture of the live view for the documentation (not a test).
// The window connects to the built-in virtual module "SIM", turns the target
// markers and their texts on, lets the picture run for a few seconds and saves
// what the X server shows as PNG:
//   xvfb-run -a -s "-screen 0 1600x900x24" korvale-live-shot docs/live.png

#include "MainFrm.h"
#include "Theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[]) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvale"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("live.png");
    const QString themeError = ApplyKorvaleTheme(app);
    if (!themeError.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(themeError));

    TForm_Main window;
    window.show();
    int rc = 1;
    QTimer::singleShot(500, &app, [&] {
        window.cbb_Port->setCurrentIndex(window.cbb_Port->findText(QStringLiteral("SIM")));
        window.btn_Connect->click();
        window.chk_ShowTarget->setChecked(true);
        window.chk_ShowTarget_Text->setChecked(true);
    });
    QTimer::singleShot(6000, &app, [&] {
        QScreen *screen = window.screen();
        const QRect frame = window.frameGeometry();
        QPixmap shot = screen ? screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                              : QPixmap();
        if (shot.isNull())
            shot = window.grab();
        rc = window.WinState.EEIsOK.load() && shot.save(out) ? 0 : 1;
        std::printf("%s: %dx%d, connected %d, calibration %d, parameters %d\n", qPrintable(out), frame.width(),
                    frame.height(), int(window.WinState.PortIsConnected.load()), int(window.WinState.EEIsOK.load()),
                    int(window.WinState.SYSIsOK.load()));
        window.btn_Connect->click();
        app.quit();
    });
    QApplication::exec();
    return rc;
}
