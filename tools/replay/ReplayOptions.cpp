#include "replay/ReplayOptions.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace {

bool ParseDouble(const std::string &text, double &value) {
    const char *begin = text.data(), *end = text.data() + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    const auto r = std::from_chars(begin, end, value);
    return r.ec == std::errc() && r.ptr == end && begin != end && std::isfinite(value);
}

bool ParseInt(const std::string &text, int &value) {
    const char *begin = text.data(), *end = text.data() + text.size();
    const auto r = std::from_chars(begin, end, value);
    return r.ec == std::errc() && r.ptr == end && begin != end;
}

std::vector<std::string> SplitCommas(const std::string &text) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, ','))
        parts.push_back(part);
    if (!text.empty() && text.back() == ',')
        parts.push_back("");
    return parts;
}

bool ParseSwitch(const std::string &text, bool &value) {
    if (text == "0" || text == "1") {
        value = text == "1";
        return true;
    }
    return false;
}

}  // namespace

std::string ReplayUsage() {
    return "usage: korvale-replay [options] CAPTURE\n"
           "Replays a recording of the module's serial stream (\"-\" reads standard\n"
           "input) through the program's frame intake and sensor image object, and prints\n"
           "one CSV line per frame: index,type,subpage,vdd,ta,min,max,avg,lower,upper\n"
           "The recording is a capture file (docs/capture-format.md: its start time and,\n"
           "for a cut or damaged file, where reading stopped go to standard error; what\n"
           "comes before the damage is replayed) or a raw byte stream.\n"
           "\n"
           "output (files frame_00000.* upwards; folders are created):\n"
           "  --temps DIR          24 lines of 32 displayed temperatures (%.17g)\n"
           "  --picture-temps DIR  384 lines of 512 interpolated temperatures (%.17g)\n"
           "  --ppm DIR            the 512 x 384 picture as binary PPM\n"
           "  --jpeg DIR           the picture as JPEG, quality 100\n"
           "  --header             print a first CSV line naming the columns\n"
           "display settings (defaults: the window's start-up values):\n"
           "  --mirror 0|1         mirror left to right (1)\n"
           "  --emissivity E       0 < E <= 1 (0.95)\n"
           "  --interp A,B         interpolation of the two passes, 0..2 each:\n"
           "                       0 linear, 1 quadratic, 2 cubic (0,0)\n"
           "  --filter M,N,SIGMA   smoothing filter on: M 0 average, 1 weighted, 2 Gaussian;\n"
           "                       N window side 1..99 (an even N is raised by 1); SIGMA > 0\n"
           "                       (off; 0,9,1.5)\n"
           "  --palette 0..12      the window's palette list: 0 Pseudo1, 1 Pseudo2,\n"
           "                       2 Metal1, 3 Metal2, 4-6 Rainbow1-3, 7 Veska, 8 Toral,\n"
           "                       9 Gray, 10-12 HSI, HSI_2, HSI_3 (1)\n"
           "  --range LO,HI        fixed colour range in degrees C (0,35)\n"
           "  --auto               colour range follows the scene\n"
           "  --correction 0|1     defective-pixel correction (1)\n"
           "  --slugg 0|1          frame-to-frame smoothing (0)\n"
           "  --image              relative infrared image instead of temperatures; turns\n"
           "                       the automatic range on unless --range is given\n"
           "  -h, --help           this text\n";
}

TParseResult ParseReplayOptions(const std::vector<std::string> &args, TReplayOptions &o, std::string *error) {
    auto fail = [&](const std::string &message) {
        if (error)
            *error = message;
        return TParseResult::Error;
    };
    bool haveInput = false;
    bool autoGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg == "-h" || arg == "--help")
            return TParseResult::Help;
        if (arg == "-" || arg.rfind("--", 0) != 0) {
            if (haveInput)
                return fail("more than one capture given: \"" + o.input + "\" and \"" + arg + "\"");
            o.input = arg;
            haveInput = true;
            continue;
        }
        std::string value;
        bool inlineValue = false;
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
        const bool flag = arg == "--auto" || arg == "--image" || arg == "--header";
        if (flag) {
            if (inlineValue)
                return fail(arg + " takes no value");
        } else if (!inlineValue) {
            if (i + 1 >= args.size())
                return fail(arg + " needs a value");
            value = args[++i];
        }
        const std::string shown = arg + " " + value;

        if (arg == "--temps" || arg == "--picture-temps" || arg == "--ppm" || arg == "--jpeg") {
            if (value.empty())
                return fail(arg + " needs a folder");
            (arg == "--temps"           ? o.tempsDir
             : arg == "--picture-temps" ? o.pictureTempsDir
             : arg == "--ppm"           ? o.ppmDir
                                        : o.jpegDir) = value;
        } else if (arg == "--header") {
            o.header = true;
        } else if (arg == "--mirror") {
            if (!ParseSwitch(value, o.mirror))
                return fail(shown + ": expected 0 or 1");
        } else if (arg == "--correction") {
            if (!ParseSwitch(value, o.correction))
                return fail(shown + ": expected 0 or 1");
        } else if (arg == "--slugg") {
            if (!ParseSwitch(value, o.slugg))
                return fail(shown + ": expected 0 or 1");
        } else if (arg == "--emissivity") {
            if (!ParseDouble(value, o.emissivity) || o.emissivity <= 0.0 || o.emissivity > 1.0)
                return fail(shown + ": expected a number above 0 and at most 1");
        } else if (arg == "--interp") {
            const auto parts = SplitCommas(value);
            if (parts.size() != 2 || !ParseInt(parts[0], o.interpFirst) ||
                !ParseInt(parts[1], o.interpSecond) || o.interpFirst < 0 || o.interpFirst > 2 ||
                o.interpSecond < 0 || o.interpSecond > 2)
                return fail(shown + ": expected A,B with A and B from 0 to 2");
        } else if (arg == "--filter") {
            const auto parts = SplitCommas(value);
            if (parts.size() != 3 || !ParseInt(parts[0], o.filterMethod) ||
                !ParseInt(parts[1], o.filterPixsCount) || !ParseDouble(parts[2], o.gaussSigma) ||
                o.filterMethod < 0 || o.filterMethod > 2 || o.filterPixsCount < 1 || o.filterPixsCount > 99 ||
                o.gaussSigma <= 0.0)
                return fail(shown + ": expected M,N,SIGMA with M from 0 to 2, N from 1 to 99 "
                                    "and SIGMA above 0");
            if (o.filterPixsCount % 2 == 0)
                ++o.filterPixsCount;  // as the window's filter-size box does
            o.filter = true;
        } else if (arg == "--palette") {
            if (!ParseInt(value, o.palette) || o.palette < 0 || o.palette > 12)
                return fail(shown + ": expected a palette item from 0 to 12");
        } else if (arg == "--range") {
            const auto parts = SplitCommas(value);
            if (parts.size() != 2 || !ParseDouble(parts[0], o.lowerLimit) ||
                !ParseDouble(parts[1], o.upperLimit) || o.lowerLimit > o.upperLimit)
                return fail(shown + ": expected LO,HI with LO not above HI");
            o.rangeGiven = true;
        } else if (arg == "--auto") {
            autoGiven = true;
        } else if (arg == "--image") {
            o.image = true;
        } else {
            return fail("unknown option " + arg);
        }
    }
    if (autoGiven && o.rangeGiven)
        return fail("--range and --auto exclude each other");
    if (!haveInput)
        return fail("no capture given");
    o.autoRange = autoGiven || (o.image && !o.rangeGiven);
    return TParseResult::Run;
}
