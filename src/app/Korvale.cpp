// Program entry: applies the theme, creates the main window and runs the event loop.
// No command line, environment setting or file configures the program.

#include "ui/mainwindow/MainFrm.h"
#include "ui/support/Theme.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[]) {
    // Every position and size of the window is in pixels: no scaling with the
    // screen's dots per inch.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvale"));

    const QString themeError = ApplyKorvaleTheme(app);
    if (!themeError.isEmpty())
        QMessageBox::critical(nullptr, QStringLiteral("Korvale"), themeError);

    TForm_Main window;
    Form_Main = &window;
    window.show();
    return QApplication::exec();
}
