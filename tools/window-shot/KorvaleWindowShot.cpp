// Takes a picture of the main window as the X server shows it, themed as the
// program is, and saves it as PNG. A helper for the documentation, not a test:
//   xvfb-run -a -s "-screen 0 1600x900x24" korvale-window-shot docs/window.png
// With --live the window first connects to the built-in virtual module "SIM",
// turns the target markers and their texts on and lets the picture run for a few
// seconds (it fails when no calibration arrived):
//   xvfb-run -a -s "-screen 0 1600x900x24" korvale-window-shot --live docs/live.png
// With --play RECORDING the window plays that recording (as "Open…" would), target
// markers on, and the picture is taken three seconds in (it fails when nothing plays):
//   xvfb-run -a -s "-screen 0 1600x900x24" korvale-window-shot --play rec.kvc docs/playback.png

#include "ui/Program.h"
#include "ui/support/Theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char *argv[]) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvale"));
    const bool live = argc > 1 && std::strcmp(argv[1], "--live") == 0;
    const bool play = argc > 2 && std::strcmp(argv[1], "--play") == 0;
    const QString recording = play ? QString::fromLocal8Bit(argv[2]) : QString();
    const int fileArg = live ? 2 : play ? 3 : 1;
    const QString out = argc > fileArg ? QString::fromLocal8Bit(argv[fileArg])
                        : live         ? QStringLiteral("live.png")
                        : play         ? QStringLiteral("playback.png")
                                       : QStringLiteral("window.png");
    const QString themeError = ApplyKorvaleTheme(app);
    if (!themeError.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(themeError));

    const auto program = std::make_unique<TKorvaleProgram>();
    TForm_Main &window = program->Form;
    window.show();
    auto *port = window.findChild<QComboBox *>(QStringLiteral("cbb_Port"));
    auto *connect = window.findChild<QPushButton *>(QStringLiteral("btn_Connect"));
    if (live) {
        QTimer::singleShot(500, &app, [&] {
            port->setCurrentIndex(port->findText(QStringLiteral("SIM")));
            connect->click();
            window.findChild<QCheckBox *>(QStringLiteral("chk_ShowTarget"))->setChecked(true);
            window.findChild<QCheckBox *>(QStringLiteral("chk_ShowTarget_Text"))->setChecked(true);
        });
    }
    if (play) {
        QTimer::singleShot(500, &app, [&] {
            window.findChild<QCheckBox *>(QStringLiteral("chk_ShowTarget"))->setChecked(true);
            window.findChild<QCheckBox *>(QStringLiteral("chk_ShowTarget_Text"))->setChecked(true);
            window.PlayRecording(recording);
        });
    }
    int rc = 1;
    QTimer::singleShot(
        live   ? 6000
        : play ? 3500
               : 1500,
        &app, [&] {
            QScreen *screen = window.screen();
            const QRect frame = window.frameGeometry();
            QPixmap shot = screen ? screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                                  : QPixmap();
            if (shot.isNull())
                shot = window.grab();
            const bool ready = (!live && !play) || program->Session.CalibrationReceived();
            rc = ready && shot.save(out) ? 0 : 1;
            std::printf(
                "%s: %dx%d window at %d,%d, title \"%s\", connected %d, calibration %d, parameters %d\n",
                qPrintable(out), frame.width(), frame.height(), frame.x(), frame.y(),
                qPrintable(window.windowTitle()), int(program->Session.IsConnected()),
                int(program->Session.CalibrationReceived()), int(program->Session.ParametersReceived()));
            if (live)
                connect->click();
            app.quit();
        });
    QApplication::exec();
    return rc;
}
