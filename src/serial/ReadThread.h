#pragma once
// The reading thread of TComm.
//
// Waits in poll() on the port, the close event and a settings wake-up. After the
// first byte it keeps reading until the line has been silent for ReadIntervalTimeout
// milliseconds or INPUTBUFFERSIZE bytes are in hand, then posts the chunk. A total
// time-out (multiplier x INPUTBUFFERSIZE + constant, when not 0) also ends a read.
// Hang-up, line errors reported by poll and read errors request a hang-up and end
// the thread; a closed descriptor ends it silently.

#include "serial/CommNotice.h"
#include "serial/WakeEvent.h"

#include <atomic>
#include <cstdint>
#include <thread>

// Read settings shared with the component, which may change them while it runs.
struct TReadSettings {
    std::atomic<uint32_t> ReadIntervalTimeout{100};
    std::atomic<uint32_t> ReadTotalTimeoutMultiplier{0};
    std::atomic<uint32_t> ReadTotalTimeoutConstant{0};
    std::atomic<bool> IgnoreNullChar{false};
};

class TReadThread {
public:
    TReadThread(int commFile, int closeEventFd, const TReadSettings &settings, ICommNoticeSink &sink);
    ~TReadThread();
    TReadThread(const TReadThread &) = delete;
    TReadThread &operator=(const TReadThread &) = delete;

    bool Start();            // false when the thread cannot be created
    void Join();             // after the close event is set
    void SettingsChanged();  // makes a wait in progress use the new time-outs

private:
    void Execute();
    bool PostChunk(const uint8_t *bytes, int count);
    void PostSimple(TCommNotice::TKind kind, uint32_t bits = 0);

    const int hCommFile;
    const int hCloseEvent;
    const TReadSettings &fSettings;
    ICommNoticeSink &fSink;
    TWakeEvent fSettingsChanged;
    std::thread fThread;
};
