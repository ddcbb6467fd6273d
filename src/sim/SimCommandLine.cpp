#include "sim/SimCommandLine.h"

#include "sim/SimModule.h"
#include "sim/SimPty.h"
#include "sim/SimRecord.h"

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ParseNumber(const std::string &text, double &value) {
    if (text.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end && *end == 0 && std::isfinite(value);
}

bool ParsePixelList(const std::string &text, std::vector<int> &pixels) {
    size_t k = 0;
    while (k <= text.size()) {
        const size_t comma = std::min(text.find(',', k), text.size());
        int p = 0;
        if (!ParseInteger(text.substr(k, comma - k), p) || p < 0 || p > 767)
            return false;
        pixels.push_back(p);
        k = comma + 1;
    }
    return !pixels.empty();
}

// Two numbers "A,B".
bool ParsePair(const std::string &text, std::string &a, std::string &b) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos)
        return false;
    a = text.substr(0, comma);
    b = text.substr(comma + 1);
    return true;
}

// A parameter setting the module accepts: "N,V" with N one of 1, 4..11.
bool ParseSetting(const std::string &text, std::pair<int, int> &setting) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos)
        return false;
    int n = 0, v = 0;
    if (!ParseInteger(text.substr(0, comma), n) || !ParseInteger(text.substr(comma + 1), v))
        return false;
    setting = {n, v};
    return TModuleCore::AcceptsParameter(n, v);
}

volatile std::sig_atomic_t gSignalled = 0;
void OnSignal(int) {
    gSignalled = 1;
}

}  // namespace

bool PlaceDeviceLink(const std::string &linkPath, const std::string &device, std::string *error) {
    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        if (error)
            *error = linkPath + " exists and is not a symbolic link";
        return false;
    }
    // A new link beside it, renamed over the old one: the path never goes missing
    // and a stale link from an earlier run is replaced whatever it points to.
    const std::string temporary = linkPath + ".korvale-sim-" + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(device.c_str(), temporary.c_str()) != 0 || rename(temporary.c_str(), linkPath.c_str()) != 0) {
        const int e = errno;
        unlink(temporary.c_str());
        if (error)
            *error = "cannot link " + linkPath + ": " + std::strerror(e);
        return false;
    }
    return true;
}

void RemoveDeviceLink(const std::string &linkPath, const std::string &device) {
    char target[4096];
    const ssize_t n = readlink(linkPath.c_str(), target, sizeof target - 1);
    if (n >= 0 && std::string(target, size_t(n)) == device)
        unlink(linkPath.c_str());
}

namespace {

int RunPty(const TSimCommandLine &cl, std::FILE *out, std::FILE *err) {
    TPtySimulator sim(cl.options);
    std::string error;
    if (!sim.Start(&error)) {
        std::fprintf(err, "korvale-sim: %s\n", error.c_str());
        return 1;
    }
    if (!cl.linkPath.empty() && !PlaceDeviceLink(cl.linkPath, sim.DevicePath(), &error)) {
        std::fprintf(err, "korvale-sim: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(out, "%s\n", sim.DevicePath().c_str());
    std::fflush(out);

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::string reported;
    while (!gSignalled && !sim.Vanished()) {
        usleep(20000);
        const std::string e = sim.LastError();
        if (!e.empty() && e != reported) {
            std::fprintf(err, "korvale-sim: %s\n", e.c_str());
            reported = e;
        }
    }
    const bool vanished = sim.Vanished();
    sim.Stop();
    // The link goes with the device (an unplugged device leaves no node behind), but
    // only while it is still ours: a new korvale-sim may already have replaced it.
    if (!cl.linkPath.empty())
        RemoveDeviceLink(cl.linkPath, sim.DevicePath());
    if (vanished) {
        std::fprintf(err, "korvale-sim: device closed after %llu frames (--vanish-after)\n",
                     static_cast<unsigned long long>(sim.FramesSent()));
    }
    return 0;
}

}  // namespace

const char *SimUsage() {
    return "usage: korvale-sim [options]\n"
           "  A virtual MLX90640 thermal module on a pseudo-terminal; prints the device path.\n"
           "  --link PATH        also make PATH a symbolic link to the device\n"
           "  --no-pacing        write each frame at once instead of at the line speed\n"
           "  --noise SIGMA      pixel noise in degrees C at 2 Hz (default 0.1; 0 = none)\n"
           "  --scene SPEC       room (default, moving), uniform:T, ramp, hotspot\n"
           "  --seed N           noise and calibration scatter seed (default 1)\n"
           "  --set N,V          start with module parameter N at V (as \"$SETP=N,V\"), repeatable\n"
           "  --broken LIST      pixel numbers marked broken in the calibration (e.g. 100,300)\n"
           "  --outlier LIST     pixel numbers marked as outliers\n"
           "  --truth DIR        write the temperatures rendered, one file per frame\n"
           "  --record FILE      write a session (calibration, parameters, frames) to FILE as a\n"
           "                     capture file (start time, one timed record per frame; see\n"
           "                     docs/capture-format.md)\n"
           "  --raw              with --record: write the bytes alone, without header or times\n"
           "  --frames N         number of frames for --record\n"
           "Faults (reproducible with --seed):\n"
           "  --corrupt FLIP,DROP  per byte sent, flip one bit with probability FLIP and drop\n"
           "                     the byte with probability DROP (also with --record)\n"
           "  --stall MS,EVERY   fall silent for MS milliseconds after every EVERY live frames\n"
           "                     sent; frames due meanwhile are never sent\n"
           "  --vanish-after N   after N live frames sent, close the device (an unplug: the\n"
           "                     host's line hangs up), remove the --link and exit with status 0;\n"
           "                     start korvale-sim again with the same --link to plug it back in\n"
           "  --help             this text\n";
}

bool ParseSimCommandLine(const std::vector<std::string> &args, TSimCommandLine &cl, std::string *error) {
    auto fail = [&](const std::string &message) {
        if (error)
            *error = message;
        return false;
    };
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string &a = args[k];
        auto value = [&](std::string &v) {
            if (k + 1 >= args.size())
                return false;
            v = args[++k];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            cl.help = true;
        } else if (a == "--no-pacing") {
            cl.options.pacing = false;
        } else if (a == "--link") {
            if (!value(v) || v.empty())
                return fail("--link needs a path");
            cl.linkPath = v;
        } else if (a == "--noise") {
            double sigma = 0;
            if (!value(v) || !ParseNumber(v, sigma) || sigma < 0 || sigma > 50)
                return fail("--noise needs a number of degrees between 0 and 50");
            cl.options.noise = sigma;
        } else if (a == "--scene") {
            std::string message;
            if (!value(v))
                return fail("--scene needs a scene: room, uniform:T, ramp or hotspot");
            if (!TScene::Parse(v, cl.options.scene, &message))
                return fail(message);
        } else if (a == "--seed") {
            double seed = 0;
            if (!value(v) || !ParseNumber(v, seed) || seed < 0 || seed > 4294967295.0 ||
                seed != std::floor(seed))
                return fail("--seed needs a whole number from 0 to 4294967295");
            cl.options.seed = static_cast<uint32_t>(seed);
        } else if (a == "--set") {
            std::pair<int, int> setting;
            if (!value(v) || !ParseSetting(v, setting))
                return fail(
                    "--set needs N,V with a parameter N of 1 or 4 to 11 and a value the module accepts");
            cl.options.presetParams.push_back(setting);
        } else if (a == "--broken" || a == "--outlier") {
            std::vector<int> &list = a == "--broken" ? cl.options.brokenPixels : cl.options.outlierPixels;
            if (!value(v) || !ParsePixelList(v, list))
                return fail(a + " needs pixel numbers 0..767, e.g. 100,300");
        } else if (a == "--truth") {
            if (!value(v) || v.empty())
                return fail("--truth needs a folder");
            cl.options.truthDir = v;
        } else if (a == "--record") {
            if (!value(v) || v.empty())
                return fail("--record needs a file name");
            cl.recordPath = v;
        } else if (a == "--raw") {
            cl.raw = true;
        } else if (a == "--corrupt") {
            std::string f, d;
            double flip = 0, drop = 0;
            if (!value(v) || !ParsePair(v, f, d) || !ParseNumber(f, flip) || !ParseNumber(d, drop) ||
                flip < 0 || drop < 0 || flip + drop > 1)
                return fail(
                    "--corrupt needs FLIP,DROP: two probabilities from 0 to 1 whose sum is at most 1");
            cl.options.flipProbability = flip;
            cl.options.dropProbability = drop;
        } else if (a == "--stall") {
            std::string m, e;
            int ms = 0, every = 0;
            if (!value(v) || !ParsePair(v, m, e) || !ParseInteger(m, ms) || !ParseInteger(e, every) ||
                ms < 1 || ms > 3600000 || every < 1)
                return fail(
                    "--stall needs MS,EVERY: a pause of 1 to 3600000 ms after every EVERY >= 1 frames");
            cl.options.stallMs = ms;
            cl.options.stallEvery = every;
        } else if (a == "--vanish-after") {
            int n = 0;
            if (!value(v) || !ParseInteger(v, n) || n < 1)
                return fail("--vanish-after needs a count of frames, 1 or more");
            cl.options.vanishAfter = n;
        } else if (a == "--frames") {
            int n = 0;
            if (!value(v) || !ParseInteger(v, n) || n < 0 || n > 1000000)
                return fail("--frames needs a count from 0 to 1000000");
            cl.frames = n;
        } else {
            return fail("unknown option '" + a + "' (see --help)");
        }
    }
    if (cl.help)
        return true;
    if (!cl.recordPath.empty() && cl.frames < 0)
        return fail("--record needs --frames N");
    if (cl.recordPath.empty() && cl.frames >= 0)
        return fail("--frames goes with --record");
    if (!cl.recordPath.empty() && !cl.linkPath.empty())
        return fail("--link does not go with --record");
    if (cl.raw && cl.recordPath.empty())
        return fail("--raw goes with --record");
    if (!cl.recordPath.empty() && (cl.options.stallEvery > 0 || cl.options.vanishAfter >= 0))
        return fail("--stall and --vanish-after are faults of the live device; they do not go with --record");
    if (cl.options.brokenPixels.size() + cl.options.outlierPixels.size() > 10)
        return fail("at most five broken and five outlier pixels");
    return true;
}

int RunSim(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) {
    TSimCommandLine cl;
    std::string error;
    if (!ParseSimCommandLine(args, cl, &error)) {
        std::fprintf(err, "korvale-sim: %s\n", error.c_str());
        return 2;
    }
    if (cl.help) {
        std::fputs(SimUsage(), out);
        return 0;
    }
    if (!cl.recordPath.empty()) {
        if (!RecordSessionToFile(cl.options, cl.frames, cl.recordPath,
                                 cl.raw ? TRecordFormat::Raw : TRecordFormat::Capture, &error)) {
            std::fprintf(err, "korvale-sim: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    return RunPty(cl, out, err);
}
