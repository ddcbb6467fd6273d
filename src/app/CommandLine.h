#pragma once
// The command line of korvale: what the user asks for when starting the program.
//
//   korvale [--port DEVICE] [--baud N] [--connect] [--play FILE] [--open FILE]
//           [--help] [--version]
//
// ParseCommandLine only reads the arguments: it opens no file and touches no
// device, so it runs before anything else (--help and --version need no display).

#include <QString>
#include <QStringList>

// What the window starts with. Empty texts and 0 mean "not given".
struct TStartOptions {
    QString Port;          // --port: a serial device, or "SIM" for the built-in virtual module
    int Baud = 0;          // --baud: the line speed
    bool Connect = false;  // --connect: connect once the window is shown
    QString PlayFile;      // --play: a recording to play back
    QString OpenFile;      // --open: a saved temperature file to show

    bool operator==(const TStartOptions &) const = default;
};

enum class TCommandAction {
    Start,        // start the window with Options
    ShowHelp,     // print the usage to standard output, exit 0
    ShowVersion,  // print the program's version to standard output, exit 0
    Fail,         // print Error and the usage to standard error, exit 2
};

struct TCommandLine {
    TCommandAction Action = TCommandAction::Start;
    TStartOptions Options;  // meaningful for Start
    QString Error;          // for Fail: one sentence naming the argument at fault
};

// Reads `args`, the arguments after the program name. The rules (also in the usage):
// - an option's value is the next argument, or follows "=" in the same argument
//   ("--port=/dev/ttyUSB0"); a separate value may not start with "-", so a missing
//   value does not swallow the next option;
// - each option may be given once;
// - --baud is a whole number from 1 to 2147483647, digits only;
// - --connect needs --port; --play and --open exclude each other and --connect;
// - --help, then --version, win over everything else on the line, errors included;
// - anything else (an unknown option, a bare argument) is an error.
TCommandLine ParseCommandLine(const QStringList &args);

// The usage text, ending in a newline.
QString CommandLineUsage();

// Exit statuses of the program.
constexpr int kExitOk = 0;
constexpr int kExitBadCommandLine = 2;
