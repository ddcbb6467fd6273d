#include "sim/SimModule.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kLineLimit = 256;  // longer input without a line end is garbage

TParamsMLX90640 ExtractFrom(const std::vector<uint16_t> &calibration) {
    TParamsMLX90640 params{};
    MLX90640_ExtractParameters(calibration.data(), params);
    return params;
}

std::vector<uint16_t> MakeCalibration(const TSimOptions &options) {
    TRealisticCalibrationOptions cal;
    cal.brokenPixels = options.brokenPixels;
    cal.outlierPixels = options.outlierPixels;
    cal.seed = options.seed;
    return RealisticCalibration(cal);
}

bool ValidValueOf(int n, int v) {
    switch (n) {
    case 1: return v == 1152 || v == 2304 || v == 4608 || v == 6144 || v == 9216 || v == 13824;
    case 4:
    case 8: return v >= 0 && v <= 3;
    case 5: return v >= 0 && v <= 7;
    case 6:
    case 7:
    case 9:
    case 11: return v == 0 || v == 1;
    case 10: return v >= 0 && v <= 1000;
    default: return false;
    }
}

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

}  // namespace

bool ParseInteger(const std::string &text, int &value) {
    if (text.empty() || text.size() > 9)
        return false;
    size_t k = text[0] == '-' ? 1 : 0;
    if (k == text.size())
        return false;
    for (size_t i = k; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    value = std::atoi(text.c_str());
    return true;
}

bool TModuleCore::AcceptsParameter(int n, int v) {
    return ValidValueOf(n, v);
}

void TModuleCore::FactoryParameters(uint16_t pars[32]) {
    std::fill(pars, pars + 32, 0);
    pars[1] = 4608;  // 460800 baud
    pars[4] = 2;     // 18-bit resolution
    pars[5] = 4;     // 8 Hz
    pars[6] = 1;     // chess pattern
    pars[7] = 1;     // live output on
    pars[8] = 1;     // output port UART1
    pars[9] = 1;     // LED on
    pars[10] = 3;    // 3 ms between frames
    pars[11] = 0;    // full frames
}

TModuleCore::TModuleCore(const TSimOptions &options)
    : fOptions(options), fCalibration(MakeCalibration(options)), fSynth(ExtractFrom(fCalibration)),
      fRandom(options.seed) {
    FactoryParameters(fPars);
    std::vector<TBytes> ignored;
    for (const auto &[n, v] : options.presetParams)
        SetParameter(n, v, 0, ignored);
    fRebootRequested = false;

    // The clock starts at the given time or else at the host's local time.
    if (options.clockStart != 0) {
        fClockBase = static_cast<std::time_t>(options.clockStart);
    } else {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        fClockBase = timegm(&local);
    }
    fClockRef = 0;
}

void TModuleCore::Receive(const uint8_t *data, size_t n, double now, std::vector<TBytes> &replies) {
    for (size_t k = 0; k < n; ++k) {
        const char c = static_cast<char>(data[k]);
        if (c == '\r' || c == '\n') {
            if (!fLine.empty())
                ExecuteLine(fLine, now, replies);
            fLine.clear();
        } else if (fLine.size() < kLineLimit) {
            fLine.push_back(c);
        } else {
            fLine.clear();
        }
    }
}

void TModuleCore::ExecuteLine(const std::string &raw, double now, std::vector<TBytes> &replies) {
    std::string line = raw;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.pop_back();

    if (line.rfind("$SETP=", 0) == 0) {
        const std::string args = line.substr(6);
        const size_t comma = args.find(',');
        int n = 0, v = 0;
        if (comma != std::string::npos && ParseInteger(args.substr(0, comma), n) &&
            ParseInteger(args.substr(comma + 1), v))
            SetParameter(n, v, now, replies);
    } else if (line.rfind("$OUTP=", 0) == 0) {
        int n = 0;
        if (!ParseInteger(line.substr(6), n))
            return;
        if (n == -1 && !fPhotos.empty())
            n = PhotoCount();
        if (n >= 1 && n <= PhotoCount()) {
            const TPhoto &photo = fPhotos[n - 1];
            replies.push_back(BuildPhotoFrame(photo.words.data(), photo.taken));
        }
    } else if (line == "$SVEP") {
        SavePhoto(now);
    } else if (line == "$CLRP") {
        fPhotos.clear();
    } else if (line.rfind("$STDT=", 0) == 0) {
        SetClock(line.substr(6), now);
    }
    // Anything else is not a command of this module: ignored.
}

void TModuleCore::SetParameter(int n, int v, double now, std::vector<TBytes> &replies) {
    if (n == 17) {
        switch (v) {
        case 1: fRebootRequested = true; break;
        case 2: FactoryParameters(fPars); break;
        case 3: replies.push_back(EemFrame()); break;
        case 4: replies.push_back(SysFrame(now)); break;
        default: break;
        }
        return;
    }
    if (AcceptsParameter(n, v))
        fPars[n] = static_cast<uint16_t>(v);
}

bool TModuleCore::TakeRebootRequest() {
    const bool requested = fRebootRequested;
    fRebootRequested = false;
    return requested;
}

void TModuleCore::Reboot() {
    fLine.clear();
    fSubpage = 0;
}

bool TModuleCore::Streaming() const {
    return fPars[7] == 1 && (fPars[8] == 0 || fPars[8] == 1 || fPars[8] == 3);
}

double TModuleCore::FramePeriod() const {
    return 2.0 / (1 << fPars[5]);
}

uint32_t TModuleCore::LineSpeed() const {
    return static_cast<uint32_t>(fPars[1]) * 100;
}

int TModuleCore::MinIntervalMs() const {
    return fPars[10];
}

TDateTime TModuleCore::Clock(double now) const {
    const std::time_t t = fClockBase + static_cast<std::time_t>(std::floor(now - fClockRef));
    std::tm tm{};
    gmtime_r(&t, &tm);
    TDateTime d;
    d.year = tm.tm_year + 1900;
    d.month = tm.tm_mon + 1;
    d.day = tm.tm_mday;
    d.hour = tm.tm_hour;
    d.minute = tm.tm_min;
    d.second = tm.tm_sec;
    return d;
}

void TModuleCore::SetClock(const std::string &text, double now) {
    // "YYYY/MM/DD HH:MM:SS"; the host writes its own locale's separators, so any
    // single non-digit character separates the fields.
    int fields[6];
    int count = 0;
    size_t k = 0;
    while (k < text.size()) {
        size_t end = k;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        if (end == k || count == 6)
            return;
        if (!ParseInteger(text.substr(k, end - k), fields[count]))
            return;
        ++count;
        if (end == text.size())
            break;
        k = end + 1;  // one separator
        if (k == text.size())
            return;
    }
    if (count != 6)
        return;
    const int y = fields[0], mo = fields[1], d = fields[2], h = fields[3], mi = fields[4], s = fields[5];
    if (y < 2000 || y > 2099 || mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h < 0 || h > 23 ||
        mi < 0 || mi > 59 || s < 0 || s > 59)
        return;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    fClockBase = timegm(&tm);
    fClockRef = now;
}

TSysBlock TModuleCore::Block(double now) const {
    TSysBlock block{};
    for (int k = 0; k < 32; ++k)
        block[k] = fPars[k];
    block[19] = static_cast<uint16_t>(3021 - std::min(200, static_cast<int>(now / 3600)));  // coin cell, mV
    const TDateTime d = Clock(now);
    block[21] = static_cast<uint16_t>(ToBcd(d.year % 100) << 8 | ToBcd(d.month));
    block[22] = static_cast<uint16_t>(ToBcd(d.day) << 8 | ToBcd(d.hour));
    block[23] = static_cast<uint16_t>(ToBcd(d.minute) << 8 | ToBcd(d.second));
    block[24] = static_cast<uint16_t>(fPhotos.size());
    return block;
}

void TModuleCore::RenderFrameMemory(double t, double *truth) {
    double scene[768];
    fOptions.scene.Render(t, scene);
    if (fOptions.noise > 0) {
        const double rateHz = 1.0 / FramePeriod();
        std::normal_distribution<double> noise(0.0, fOptions.noise * std::sqrt(rateHz / 2.0));
        for (double &v : scene)
            v += noise(fRandom);
    }
    if (truth)
        std::copy(scene, scene + 768, truth);

    TFrameConditions cond;
    cond.ta = fOptions.scene.Ambient(t);
    cond.vdd = fOptions.scene.Supply(t);
    cond.chess = fPars[6] == 1;
    cond.subpage = fSubpage;
    cond.resolution = fPars[4];
    cond.rateCode = fPars[5];
    fLastFrame.resize(kMlxFrameWords);
    fSynth.Render(scene, cond, fLastFrame.data());
}

TBytes TModuleCore::NextFrame(double t, double *truth) {
    RenderFrameMemory(t, truth);
    const TSysBlock block = Block(t);
    TBytes out = HalfFrames() ? BuildHalfFrame(fLastFrame.data(), fSubpage, block, fTag)
                              : BuildFullFrame(fLastFrame.data(), block, fTag);
    ++fTag;
    fSubpage ^= 1;
    return out;
}

void TModuleCore::SavePhoto(double now) {
    if (PhotoCount() >= kPhotoCapacity)
        return;  // the store is full
    if (fLastFrame.empty())
        RenderFrameMemory(now, nullptr);
    fPhotos.push_back({fLastFrame, Clock(now)});
}
