#pragma once
// The reading thread of TComm.
//
// Waits in poll() on the port, the close event and a settings wake-up. After the
// first byte it keeps reading until the line has been silent for ReadIntervalTimeout
// milliseconds or INPUTBUFFERSIZE bytes are in hand, then posts the chunk. Between
// reads it lets bytes gather for up to 2 ms (half the interval at most), so a burst
// is read in a few large pieces rather than as each small one lands. A total
// time-out (multiplier x INPUTBUFFERSIZE + constant, when not 0) also ends a read.
// Hang-up, line errors reported by poll and read errors request a hang-up and end
// the thread; a closed descriptor ends it silently.
//
// Create it with std::make_shared: the running thread owns it too, with the port
// session and the read settings, so a thread that outlives the stop's waiting limit
// still has everything it uses.

#include "serial/CommNotice.h"
#include "serial/PortThread.h"
#include "serial/WakeEvent.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

struct TPortSession;

// Read settings shared with the component, which may change them while it runs.
struct TReadSettings {
    std::atomic<uint32_t> ReadIntervalTimeout{100};
    std::atomic<uint32_t> ReadTotalTimeoutMultiplier{0};
    std::atomic<uint32_t> ReadTotalTimeoutConstant{0};
    std::atomic<bool> IgnoreNullChar{false};
};

class TReadThread : public std::enable_shared_from_this<TReadThread> {
public:
    TReadThread(std::shared_ptr<TPortSession> session, std::shared_ptr<const TReadSettings> settings);
    TReadThread(const TReadThread &) = delete;
    TReadThread &operator=(const TReadThread &) = delete;

    bool Start();  // false when the thread cannot be created (errno tells why)
    // After the close event is set: waits at most `limit` for the thread to end;
    // false when it had not (it then ends on its own).
    bool Finish(std::chrono::milliseconds limit);
    void SettingsChanged();  // makes a wait in progress use the new time-outs

private:
    void Execute();
    // Waits a little after a read so that bytes arriving close together are read
    // together; false when the close event came meanwhile.
    bool Gather(std::chrono::steady_clock::time_point since);
    bool PostChunk(const uint8_t *bytes, int count);
    void PostSimple(TCommNotice::TKind kind, uint32_t bits = 0);

    const std::shared_ptr<TPortSession> fSession;
    const std::shared_ptr<const TReadSettings> fSettingsOwner;
    const int hCommFile;
    const int hCloseEvent;
    const TReadSettings &fSettings;
    ICommNoticeSink &fSink;
    TWakeEvent fSettingsChanged;
    TPortThread fThread;
};
