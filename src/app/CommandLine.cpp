#include "app/CommandLine.h"

#include <limits>

namespace {

enum class TOptionKind { Flag, Value };

struct TOptionSpec {
    const char *Name;
    TOptionKind Kind;
    const char *ValueName;  // as the usage names it
};

constexpr TOptionSpec kOptions[] = {
    {"--port", TOptionKind::Value, "DEVICE"}, {"--baud", TOptionKind::Value, "N"},
    {"--connect", TOptionKind::Flag, ""},     {"--play", TOptionKind::Value, "FILE"},
    {"--open", TOptionKind::Value, "FILE"},   {"--help", TOptionKind::Flag, ""},
    {"--version", TOptionKind::Flag, ""},
};

const TOptionSpec *FindOption(const QString &name) {
    for (const TOptionSpec &spec : kOptions)
        if (name == QLatin1String(spec.Name))
            return &spec;
    return nullptr;
}

TCommandLine Failure(const QString &error) {
    TCommandLine cl;
    cl.Action = TCommandAction::Fail;
    cl.Error = error;
    return cl;
}

// A line speed: digits only, 1 to the largest int.
bool ParseBaud(const QString &text, int &baud) {
    if (text.isEmpty())
        return false;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            return false;
    }
    if (value < 1)
        return false;
    baud = int(value);
    return true;
}

}  // namespace

TCommandLine ParseCommandLine(const QStringList &args) {
    // --help and --version stand alone: whatever else the line holds, they answer.
    if (args.contains(QStringLiteral("--help"))) {
        TCommandLine cl;
        cl.Action = TCommandAction::ShowHelp;
        return cl;
    }
    if (args.contains(QStringLiteral("--version"))) {
        TCommandLine cl;
        cl.Action = TCommandAction::ShowVersion;
        return cl;
    }

    TCommandLine cl;
    TStartOptions &o = cl.Options;
    QStringList seen;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!arg.startsWith(QLatin1Char('-')))
            return Failure(
                QStringLiteral("unexpected argument '%1' (every value follows its option)").arg(arg));
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? arg : arg.left(eq);
        const TOptionSpec *spec = FindOption(name);
        if (!spec)
            return Failure(QStringLiteral("unknown option '%1'").arg(name));
        if (seen.contains(name))
            return Failure(QStringLiteral("%1 is given more than once").arg(name));
        seen << name;

        QString value;
        if (spec->Kind == TOptionKind::Flag) {
            if (eq >= 0)
                return Failure(QStringLiteral("%1 takes no value").arg(name));
        } else if (eq >= 0) {
            value = arg.mid(eq + 1);
        } else if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1Char('-'))) {
            value = args[++i];
        } else {
            return Failure(
                QStringLiteral("%1 needs a value (%1 %2)").arg(name, QLatin1String(spec->ValueName)));
        }
        if (spec->Kind == TOptionKind::Value && value.isEmpty())
            return Failure(
                QStringLiteral("%1 needs a value (%1 %2)").arg(name, QLatin1String(spec->ValueName)));

        if (name == QLatin1String("--port")) {
            o.Port = value;
        } else if (name == QLatin1String("--baud")) {
            if (!ParseBaud(value, o.Baud))
                return Failure(
                    QStringLiteral("--baud needs a whole number from 1 to 2147483647, not '%1'").arg(value));
        } else if (name == QLatin1String("--connect")) {
            o.Connect = true;
        } else if (name == QLatin1String("--play")) {
            o.PlayFile = value;
        } else if (name == QLatin1String("--open")) {
            o.OpenFile = value;
        }
    }

    if (!o.PlayFile.isEmpty() && !o.OpenFile.isEmpty())
        return Failure(QStringLiteral("--play and --open cannot be used together"));
    if (o.Connect && !o.PlayFile.isEmpty())
        return Failure(QStringLiteral("--connect and --play cannot be used together"));
    if (o.Connect && !o.OpenFile.isEmpty())
        return Failure(QStringLiteral("--connect and --open cannot be used together"));
    if (o.Connect && o.Port.isEmpty())
        return Failure(QStringLiteral("--connect needs --port"));
    return cl;
}

QString CommandLineUsage() {
    return QStringLiteral("Usage: korvale [--port DEVICE] [--baud N] [--connect]\n"
                          "       korvale [--port DEVICE] [--baud N] (--play FILE | --open FILE)\n"
                          "       korvale --help | --version\n"
                          "\n"
                          "Korvale shows the live picture and temperatures of a thermal-imaging module.\n"
                          "\n"
                          "  --port DEVICE  put DEVICE in the window's port list: a serial device such as\n"
                          "                 /dev/ttyUSB0, or SIM for the built-in virtual module\n"
                          "  --baud N       put the line speed N in the window's speed list: a whole\n"
                          "                 number from 1 to 2147483647 (a new module uses 460800)\n"
                          "  --connect      connect to that port once the window is shown (needs --port)\n"
                          "  --play FILE    play back a recording\n"
                          "  --open FILE    show a saved temperature file\n"
                          "  --help         print this help and exit\n"
                          "  --version      print the program's version and exit\n"
                          "\n"
                          "A value follows its option as the next argument or after '=' (--port=SIM);\n"
                          "a separate value may not start with '-'. Each option may be given once.\n"
                          "--play and --open exclude each other and --connect. --help and --version\n"
                          "ignore every other argument.\n"
                          "\n"
                          "Exit status: 0 when the window closes or after --help and --version,\n"
                          "2 for a bad command line.\n");
}
