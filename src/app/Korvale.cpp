// Program entry: applies the theme, makes the sensor image object, the session with
// the module and the main window, and runs the event loop.

#include "ui/Program.h"
#include "ui/support/Theme.h"

#include <QApplication>
#include <QMessageBox>

#include <memory>

int main(int argc, char *argv[]) {
    // Every position and size of the window is in pixels: no scaling with the
    // screen's dots per inch.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvale"));

    const QString themeError = ApplyKorvaleTheme(app);
    if (!themeError.isEmpty())
        QMessageBox::critical(nullptr, QStringLiteral("Korvale"), themeError);

    const auto program = std::make_unique<TKorvaleProgram>();
    program->Form.show();
    return QApplication::exec();
}
