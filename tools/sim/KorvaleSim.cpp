// korvale-sim: a virtual thermal-imaging module for trying the program without
// the hardware. See SimUsage() for the options.
#include "sim/SimCommandLine.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunSim(args, stdout, stderr);
}
