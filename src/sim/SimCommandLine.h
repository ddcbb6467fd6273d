#pragma once
// Command line of korvale-sim.

#include "sim/SimOptions.h"

#include <string>
#include <vector>

struct TSimCommandLine {
    TSimOptions options;
    std::string linkPath;    // --link: symbolic link to the device
    std::string recordPath;  // --record: write a session to this file instead
    int frames = -1;         // --frames (with --record)
    bool help = false;
};

// False with a message for an unknown option, a missing or malformed value, or
// options that do not go together.
bool ParseSimCommandLine(const std::vector<std::string> &args, TSimCommandLine &cl, std::string *error);

const char *SimUsage();

// The whole program: returns the exit status. Output and messages go to the
// given streams (stdout / stderr in the program).
int RunSim(const std::vector<std::string> &args, std::FILE *out, std::FILE *err);
