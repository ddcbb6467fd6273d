#pragma once
// Command line of korvale-sim.

#include "sim/SimOptions.h"

#include <cstdio>
#include <string>
#include <vector>

struct TSimCommandLine {
    TSimOptions options;
    std::string linkPath;    // --link: symbolic link to the device
    std::string recordPath;  // --record: write a session to this file instead
    int frames = -1;         // --frames (with --record)
    bool raw = false;        // --raw (with --record): the bytes alone, no capture file
    bool help = false;
};

// False with a message for an unknown option, a missing or malformed value, or
// options that do not go together.
bool ParseSimCommandLine(const std::vector<std::string> &args, TSimCommandLine &cl, std::string *error);

const char *SimUsage();

// Makes linkPath a symbolic link to device, replacing a link that is there (a stale
// one from an earlier run included) in one step. False with a message when linkPath
// is something other than a symbolic link or cannot be written.
bool PlaceDeviceLink(const std::string &linkPath, const std::string &device, std::string *error);
// Removes linkPath if it is a symbolic link to device (and leaves it otherwise).
void RemoveDeviceLink(const std::string &linkPath, const std::string &device);

// The whole program: returns the exit status. Output and messages go to the
// given streams (stdout / stderr in the program).
int RunSim(const std::vector<std::string> &args, std::FILE *out, std::FILE *err);
