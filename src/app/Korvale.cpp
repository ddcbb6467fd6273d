// Program entry: reads the command line, answers --help and --version without
// a display, then applies the theme, makes the sensor image object, the session with
// the module and the main window, hands the window the command line's options and
// runs the event loop.

#include "app/CommandLine.h"
#include "app/StartOptions.h"
#include "ui/Program.h"
#include "ui/support/BuildInfo.h"
#include "ui/support/Theme.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <memory>

namespace {

void Print(std::FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// The version embedded in this program's file, as the window title shows it. Read
// through /proc/self/exe because there is no QCoreApplication yet.
QString ProgramFileVersion() {
    return GetBuildInfo(QStringLiteral("/proc/self/exe"));
}

}  // namespace

int main(int argc, char *argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const TCommandLine commandLine = ParseCommandLine(args);
    switch (commandLine.Action) {
    case TCommandAction::ShowHelp: Print(stdout, CommandLineUsage()); return kExitOk;
    case TCommandAction::ShowVersion: Print(stdout, "korvale " + ProgramFileVersion() + '\n'); return kExitOk;
    case TCommandAction::Fail:
        Print(stderr, "korvale: " + commandLine.Error + "\n\n" + CommandLineUsage());
        return kExitBadCommandLine;
    case TCommandAction::Start: break;
    }

    // Every position and size of the window is in pixels: no scaling with the
    // screen's dots per inch.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // Qt gets the program name only: the command line above is the program's own, and
    // none of it is Qt's (Qt's settings come from its environment variables).
    int qtArgc = 1;
    char *qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("Korvale"));

    const QString themeError = ApplyKorvaleTheme(app);
    if (!themeError.isEmpty())
        QMessageBox::critical(nullptr, QStringLiteral("Korvale"), themeError);

    const auto program = std::make_unique<TKorvaleProgram>();
    program->Form.show();
    for (const QString &problem : ApplyStartOptions(program->Form, commandLine.Options))
        Print(stderr, "korvale: " + problem + '\n');
    return QApplication::exec();
}
