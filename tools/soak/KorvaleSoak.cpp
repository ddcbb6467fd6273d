// korvale-soak: the window against the virtual module for a long while and under
// faults (a noisy line, unplugging, a stalled module), with a table of figures.
// See SoakUsage() for the options; the full run takes about 45 minutes:
//   xvfb-run -a -s "-screen 0 1600x900x24" build/bin/korvale-soak
#include "soak/SoakRun.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
    TSoakOptions options;
    bool help = false;
    std::string error;
    if (!ParseSoakArgs(argc, argv, options, help, error)) {
        std::fprintf(stderr, "korvale-soak: %s\n%s", error.c_str(), SoakUsage());
        return 2;
    }
    if (help) {
        std::fputs(SoakUsage(), stdout);
        return 0;
    }
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    return RunSoak(options, argc, argv);
}
