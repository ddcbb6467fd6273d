#pragma once
// A soak run: the real window (TKorvaleProgram) against the virtual module on a
// pseudo-terminal, through four phases, with a table of what was measured.
//   live     the module streams at 64 Hz: frames sent, computed and shown, resident
//            memory at minute 1 (or half-way through a shorter run) and at the end,
//            CPU of the program;
//   noisy    bits flipped and bytes lost on the line: the window's longest wait for
//            its event loop, failed check words counted and their frames dropped,
//            the longest gap between pictures;
//   unplug   the device vanishes and comes back under the same name, the user
//            clicking Connect: each loss shows the disconnected state and notice,
//            each reconnect brings pictures back within 2 s, no descriptor or thread
//            is left over;
//   stall    the module falls silent: no hang, the rates fall to 0 and come back.

#include <cstdint>
#include <string>

struct TSoakOptions {
    int liveSeconds = 30 * 60;
    int noisySeconds = 10 * 60;
    double flip = 0.0005;   // 1 bit in 2,000 bytes
    double drop = 0.00005;  // 1 byte in 20,000
    int cycles = 50;
    int stallMs = 5000;
    int baud = 1382400;
    int rateIndex = 7;       // 64 Hz
    int maxLatencyMs = 250;  // the longest the window's event loop may be kept busy
};

// False with a message for a bad command line; `help` set for --help.
bool ParseSoakArgs(int argc, char **argv, TSoakOptions &options, bool &help, std::string &error);
const char *SoakUsage();

// Runs the phases and prints the table on stdout (progress on stderr); 0 when every
// check held, 1 when one failed, 2 when the run could not be set up. Forks the module
// process first, so call it before any thread exists, with argc/argv for Qt.
int RunSoak(const TSoakOptions &options, int argc, char **argv);
