#pragma once
// Frames as the module sends them, a recording stand-in for the sensor image object
// and a harness that wires a frame intake to them with a std UI dispatcher whose UI
// thread is the test's thread.

#include "link/FrameIntake.h"
#include "link/FrameSink.h"
#include "link/StdUiDispatcher.h"
#include "pipeline/PixelTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using TBytes = std::vector<uint8_t>;

// "MLX", byte 3, the type, then the words high byte first.
TBytes FrameHead(const char *type);
void AppendWord(TBytes &bytes, uint16_t word);
uint16_t SumBytes(const TBytes &bytes, size_t first, size_t last);

// 32-word block with battery voltage (word 19), clock (21..23) and photo count (24).
TUINT16s SysBlock(uint16_t millivolts, uint16_t w21, uint16_t w22, uint16_t w23, uint16_t photos);

TBytes SysFrame(const TUINT16s &pars);                           // 71 bytes
TBytes EemFrame(const TUINT16s &eeprom, bool goodCheck = true);  // 1673 bytes
// 1677 bytes, or 1748 with the block (bytes 1677..1683 filled with 0xEE).
TBytes FrmFrame(const TUINT16s &ram, bool goodCheck = true, const TUINT16s *block = nullptr);
// 907 bytes, or 980 with the block; aux holds frame-memory words 768..833, and
// the low byte of its last word is the subpage.
TBytes HalfFrame(const char *type, const TUINT16s &pixels, const TUINT16s &aux,
                 const TUINT16s *block = nullptr);
// 1675 bytes, or 1681 with the six date/time bytes.
TBytes PhtFrame(const TUINT16s &ram, const uint8_t *dateTime = nullptr);

// A frame memory whose word k is (seed + 7k) & 0xFFFF, word 833 = subpage.
TUINT16s PatternWords(size_t count, uint16_t seed);
TUINT16s RamWords(uint16_t seed, int subpage);
// The 66 auxiliary words of a half frame (frame-memory words 768..833), the last = subpage.
TUINT16s AuxWords(uint16_t seed, int subpage);

// Records every hand-off; can hold SetRAMArr/SetEEPROMArr at a gate, and checks that
// hand-offs never overlap and that the words stay unchanged during a call.
class TRecordingSink : public TFrameSink {
public:
    void SetEEPROMArr(const TUINT16s &words) override;
    void SetRAMArr(const TUINT16s &words) override;

    // Gate: with permits limited, each call waits inside the sink for a permit.
    void LimitPermits(int permits);  // from now on only `permits` calls pass
    void AddPermits(int permits);
    void OpenGate();  // every call passes

    // Waits until `count` calls (of either kind) have entered the sink.
    bool WaitEntered(int count, int timeoutMs = 5000);

    std::vector<TUINT16s> Eeproms();
    std::vector<TUINT16s> Rams();
    int Overlaps() const { return fOverlaps.load(); }
    int ChangedDuringCall() const { return fChanged.load(); }
    int Entered();

    // Time each SetRAMArr spends inside, to let frames pile up.
    std::atomic<int> RamCallMicros{0};

private:
    void Enter();
    void Leave();
    std::mutex fMutex;
    std::condition_variable fChangedCv;
    int fPermits = -1;  // -1: unlimited
    int fEntered = 0;
    std::vector<TUINT16s> fEeproms, fRams;
    std::atomic<int> fInside{0};
    std::atomic<int> fOverlaps{0};
    std::atomic<int> fChanged{0};
};

struct TLinkHarness {
    TLinkHarness();
    ~TLinkHarness();

    void Feed(const TBytes &chunk);
    void Feed(const uint8_t *data, size_t len);
    void FeedAlt(const TBytes &chunk);
    // Feeds and waits until the worker (if any) is done.
    void FeedAndWait(const TBytes &chunk);
    void FeedAltAndWait(const TBytes &chunk);
    void Wait() { intake->WaitIdle(); }
    // The decoding status and a short description of its last frame ("SYS 71",
    // "EEM 1673", "FRM1 1677", "FR0 1 907", "PHT7 1681"; "" before the first frame).
    TLinkStatus status() const { return intake->Status(); }
    std::string lastFrame() const;
    // The verdict of the last check word: "", "correct", "correct 1234" (with the mean
    // raw pixel word) or "error".
    std::string check() const;

    std::shared_ptr<TStdUiDispatcher> dispatcher;
    std::shared_ptr<TRecordingSink> sink;
    std::vector<TUINT16s> sysParsShown;  // UpdateSysParsShow calls (UI thread only)
    std::vector<std::thread::id> sysParsThreads;
    int readParsActions = 0;  // "TYPE" actions (UI thread only)
    std::unique_ptr<TFrameIntake> intake;
    TLinkCore *core = nullptr;  // the intake's shared state (flags, merge buffer)
};
