#pragma once
// The virtual module of a soak run, in a process of its own: the program under
// test sees it only through its pseudo-terminal and a symbolic link to it (as
// korvale-sim --link makes one), so plugging it in again after an unplug gives a
// new device under the same name. The process is forked before the program starts
// any thread and is driven through two pipes, one line per request.

#include <cstdint>
#include <string>

#include <sys/types.h>

struct TSoakFaults {
    double flip = 0;       // per byte sent: one bit flipped
    double drop = 0;       // per byte sent: the byte left out
    int stallMs = 0;       // silent for this long...
    int stallEvery = 0;    // ...after every this many frames
    int vanishAfter = -1;  // the device closes after this many frames (an unplug)
};

class TSoakModule {
public:
    TSoakModule() = default;
    ~TSoakModule();
    TSoakModule(const TSoakModule &) = delete;
    TSoakModule &operator=(const TSoakModule &) = delete;

    // Forks the module process. `linkPath` is where the device appears; `baud` the
    // line speed and `rateIndex` the refresh rate ("$SETP=5", 7 = 64 Hz) the module
    // starts with. Call before any thread exists.
    bool Fork(const std::string &linkPath, int baud, int rateIndex, std::string *error);

    // Plugs in a module with these faults (the last one unplugged first); true when
    // its device is there under the link.
    bool PlugIn(const TSoakFaults &faults, uint32_t seed);
    // Unplugs the module (whether or not it has vanished by itself) and removes the link.
    void Unplug();
    // Frames the module plugged in now has sent, and whether it has vanished.
    uint64_t FramesSent(bool *vanished = nullptr);

    const std::string &LinkPath() const { return fLinkPath; }

private:
    std::string Ask(const std::string &request);

    std::string fLinkPath;
    pid_t fChild = -1;
    int fTo = -1;
    int fFrom = -1;
};
