#include "soak/SoakModule.h"

#include "sim/SimCommandLine.h"
#include "sim/SimOptions.h"
#include "sim/SimPty.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string ReadLine(int fd) {
    std::string line;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

void WriteLine(int fd, const std::string &line) {
    const std::string out = line + "\n";
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = write(fd, out.data() + done, out.size() - done);
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

// The module process: "plug FLIP DROP STALLMS STALLEVERY VANISH SEED", "unplug",
// "count"; ends when its input closes.
[[noreturn]] void Serve(const std::string &linkPath, int baud, int rateIndex, int in, int out) {
    std::unique_ptr<TPtySimulator> sim;
    const auto unplug = [&] {
        if (!sim)
            return;
        const std::string device = sim->DevicePath();
        sim->Stop();
        RemoveDeviceLink(linkPath, device);
        sim.reset();
    };
    for (;;) {
        const std::string line = ReadLine(in);
        if (line.empty())
            break;
        std::istringstream words(line);
        std::string verb;
        words >> verb;
        if (verb == "plug") {
            unplug();
            TSimOptions o;
            uint32_t seed = 1;
            words >> o.flipProbability >> o.dropProbability >> o.stallMs >> o.stallEvery >> o.vanishAfter >>
                seed;
            o.seed = seed;
            o.presetParams = {{5, rateIndex}, {1, baud / 100}};
            sim = std::make_unique<TPtySimulator>(o);
            std::string error;
            if (!sim->Start(&error) || !PlaceDeviceLink(linkPath, sim->DevicePath(), &error)) {
                sim.reset();
                WriteLine(out, "error " + error);
            } else {
                WriteLine(out, "ok " + sim->DevicePath());
            }
        } else if (verb == "unplug") {
            unplug();
            WriteLine(out, "ok");
        } else if (verb == "count") {
            WriteLine(out, sim ? std::to_string(sim->FramesSent()) + (sim->Vanished() ? " 1" : " 0") : "0 1");
        } else {
            WriteLine(out, "error unknown request");
        }
    }
    unplug();
    _exit(0);
}

}  // namespace

bool TSoakModule::Fork(const std::string &linkPath, int baud, int rateIndex, std::string *error) {
    fLinkPath = linkPath;
    int to[2], from[2];
    if (pipe(to) != 0 || pipe(from) != 0) {
        *error = "no pipe";
        return false;
    }
    fChild = fork();
    if (fChild < 0) {
        *error = "cannot fork";
        return false;
    }
    if (fChild == 0) {
        close(to[1]);
        close(from[0]);
        Serve(linkPath, baud, rateIndex, to[0], from[1]);
    }
    close(to[0]);
    close(from[1]);
    fTo = to[1];
    fFrom = from[0];
    return true;
}

TSoakModule::~TSoakModule() {
    if (fTo >= 0)
        close(fTo);
    if (fChild > 0)
        waitpid(fChild, nullptr, 0);
    if (fFrom >= 0)
        close(fFrom);
}

std::string TSoakModule::Ask(const std::string &request) {
    WriteLine(fTo, request);
    return ReadLine(fFrom);
}

bool TSoakModule::PlugIn(const TSoakFaults &f, uint32_t seed) {
    char request[200];
    std::snprintf(request, sizeof request, "plug %.9g %.9g %d %d %d %u", f.flip, f.drop, f.stallMs,
                  f.stallEvery, f.vanishAfter, seed);
    return Ask(request).rfind("ok ", 0) == 0;
}

void TSoakModule::Unplug() {
    Ask("unplug");
}

uint64_t TSoakModule::FramesSent(bool *vanished) {
    std::istringstream answer(Ask("count"));
    uint64_t frames = 0;
    int gone = 0;
    answer >> frames >> gone;
    if (vanished)
        *vanished = gone != 0;
    return frames;
}
