#pragma once
// The module's behaviour without any I/O: its parameter block, clock, photo
// store and command interpreter, and the rendering of its frames. The pseudo-
// terminal driver and the session recorder feed it bytes and times and send what
// it produces.

#include "protocol/FrameBuild.h"
#include "sim/SimOptions.h"
#include "sim/SyntheticSensor.h"

#include <cstdint>
#include <ctime>
#include <random>
#include <string>
#include <vector>

class TModuleCore {
public:
    static constexpr int kPhotoCapacity = 256;

    explicit TModuleCore(const TSimOptions &options);

    // Received bytes: complete lines (ended by CR and/or LF) are executed; the
    // answers ("EEM", "SYS", "PHT" frames) are appended to `replies`. `now` is the
    // session time in seconds (drives the clock).
    void Receive(const uint8_t *data, size_t n, double now, std::vector<TBytes> &replies);
    void ExecuteLine(const std::string &line, double now, std::vector<TBytes> &replies);

    // A reboot ("$SETP=17,1") was asked for since the last call.
    bool TakeRebootRequest();
    // Power-on state after a reboot: the command buffer and subpage sequence start
    // afresh; parameters, clock and photos are kept.
    void Reboot();

    // Live frames go out on this line: output on (parameter 7) and the output
    // port includes this line (UART1: ports 0 smart, 1 and 3).
    bool Streaming() const;
    double FramePeriod() const;  // seconds, from parameter 5
    uint32_t LineSpeed() const;  // baud, from parameter 1
    int MinIntervalMs() const;   // parameter 10
    bool HalfFrames() const { return fPars[11] == 1; }

    // Renders the next live frame at session time `t`: "FRM" (1748 bytes) or a half
    // frame (980 bytes); subpages alternate. `truth` (768 values) receives the
    // temperatures rendered, noise included, when not null.
    TBytes NextFrame(double t, double *truth);

    TBytes EemFrame() const { return BuildEemFrame(fCalibration); }
    TBytes SysFrame(double now) const { return BuildSysFrame(Block(now)); }
    TSysBlock Block(double now) const;
    TDateTime Clock(double now) const;
    int PhotoCount() const { return static_cast<int>(fPhotos.size()); }
    uint16_t Parameter(int n) const { return fPars[n]; }
    const std::vector<uint16_t> &Calibration() const { return fCalibration; }
    const TParamsMLX90640 &Params() const { return fSynth.Params(); }

    static void FactoryParameters(uint16_t pars[32]);
    // Whether "$SETP=n,v" changes setting n (1, 4..11) to v; other values are ignored.
    static bool AcceptsParameter(int n, int v);

private:
    struct TPhoto {
        std::vector<uint16_t> words;  // 834
        TDateTime taken;
    };

    void SetParameter(int n, int value, double now, std::vector<TBytes> &replies);
    void SetClock(const std::string &text, double now);
    void SavePhoto(double now);
    void RenderFrameMemory(double t, double *truth);

    TSimOptions fOptions;
    std::vector<uint16_t> fCalibration;
    TFrameSynthesizer fSynth;
    uint16_t fPars[32] = {};
    std::string fLine;  // command being received
    bool fRebootRequested = false;
    int fSubpage = 0;
    uint8_t fTag = 0;                  // byte 3 of each frame: a running count
    std::vector<uint16_t> fLastFrame;  // frame memory of the last frame rendered
    std::vector<TPhoto> fPhotos;
    std::mt19937 fRandom;
    // Clock: naive seconds (a broken-down time read as UTC) at session time fClockRef.
    std::time_t fClockBase = 0;
    double fClockRef = 0;
};

// Strict decimal integer ("-1", "13824"); false for anything else.
bool ParseInteger(const std::string &text, int &value);
