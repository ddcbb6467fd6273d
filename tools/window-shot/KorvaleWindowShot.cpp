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
// With --analysis it runs live as well, draws regions on the picture (a box over the
// hot mug, one that the walking person crosses, a line and a spot), turns the isotherm on,
// opens the analysis window and saves the picture beside that window:
//   xvfb-run -a -s "-screen 0 1600x900x24" korvale-window-shot --analysis docs/analysis.png

#include "ui/Program.h"
#include "ui/analysis/Analysis.h"
#include "ui/analysis/Form_Analysis.h"
#include "ui/support/Theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
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
    const bool analysis = argc > 1 && std::strcmp(argv[1], "--analysis") == 0;
    const bool live = analysis || (argc > 1 && std::strcmp(argv[1], "--live") == 0);
    const bool play = argc > 2 && std::strcmp(argv[1], "--play") == 0;
    const QString recording = play ? QString::fromLocal8Bit(argv[2]) : QString();
    const int fileArg = live ? 2 : play ? 3 : 1;
    const QString out = argc > fileArg ? QString::fromLocal8Bit(argv[fileArg])
                        : analysis     ? QStringLiteral("analysis.png")
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
            window.findChild<QCheckBox *>(QStringLiteral("chk_ShowTarget_Text"))->setChecked(!analysis);
        });
    }
    if (analysis) {
        QTimer::singleShot(1500, &app, [&] {
            TAnalysis &a = window.Analysis();
            a.AddRegion(RK_Box, {400, 230}, {450, 290});
            a.AddRegion(RK_Box, {210, 100}, {300, 220});
            a.AddRegion(RK_Line, {20, 340}, {490, 330});
            a.AddRegion(RK_Spot, {255, 100}, {255, 100});
            a.Select(-1);
            window.findChild<QPushButton *>(QStringLiteral("btn_Analysis"))->click();
            TForm_Analysis *form = window.AnalysisWindow();
            form->resize(900, 760);
            form->move(690, 60);
            form->findChild<QLineEdit *>(QStringLiteral("edt_IsoLow"))->setText(QStringLiteral("29"));
            form->findChild<QLineEdit *>(QStringLiteral("edt_IsoHigh"))->setText(QStringLiteral("31"));
            form->findChild<QCheckBox *>(QStringLiteral("chk_Isotherm"))->setChecked(true);
            form->findChild<QComboBox *>(QStringLiteral("cbb_AlarmReadout"))->setCurrentIndex(1);
            form->findChild<QLineEdit *>(QStringLiteral("edt_AlarmAbove"))->setText(QStringLiteral("60"));
            form->findChild<QCheckBox *>(QStringLiteral("chk_Alarm"))->setChecked(true);
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
        analysis ? 12000
        : live   ? 6000
        : play   ? 3500
                 : 1500,
        &app, [&] {
            QScreen *screen = window.screen();
            if (analysis && window.AnalysisWindow()) {
                // The picture as the window paints it, beside the analysis window (which
                // may lie over it on the screen).
                const QPixmap picture = window.findChild<QWidget *>(QStringLiteral("Image1"))->grab();
                TForm_Analysis *form = window.AnalysisWindow();
                const QRect f = form->frameGeometry();
                QPixmap panel =
                    screen ? screen->grabWindow(0, f.x(), f.y(), f.width(), f.height()) : QPixmap();
                if (panel.isNull())
                    panel = form->grab();
                QPixmap both(picture.width() + 12 + panel.width(),
                             std::max(picture.height(), panel.height()));
                both.fill(QColor(0xE8, 0xEC, 0xF0));
                QPainter painter(&both);
                painter.drawPixmap(0, 0, picture);
                painter.drawPixmap(picture.width() + 12, 0, panel);
                painter.end();
                rc = program->Session.CalibrationReceived() && both.save(out) ? 0 : 1;
                std::printf("%s: %dx%d, regions %d, alarm log %lld\n", qPrintable(out), both.width(),
                            both.height(), window.Analysis().RegionCount(),
                            (long long)window.Analysis().AlarmLog().size());
                connect->click();
                app.quit();
                return;
            }
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
