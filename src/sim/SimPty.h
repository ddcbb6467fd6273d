#pragma once
// The virtual module on a pseudo-terminal: a client (the host program) opens
// DevicePath() like a serial port and talks to the module over it.
//
// One thread of its own runs the module: it reads command lines, answers them,
// streams live frames at the configured rate and paces what it writes at the
// configured line speed, in small pieces as a USB serial bridge delivers them.
// While no client has the device open, nothing is written (what the module sends
// meanwhile is lost, as on a real line).
//
// Faults (see TSimOptions): bytes flipped or dropped on the way out, silent stalls
// after every so many frames, and an unplug after so many frames: the device is
// closed, the client's line hangs up and the module thread ends.

#include "sim/SimOptions.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

class TPtySimulator {
public:
    explicit TPtySimulator(const TSimOptions &options);
    ~TPtySimulator();
    TPtySimulator(const TPtySimulator &) = delete;
    TPtySimulator &operator=(const TPtySimulator &) = delete;

    // Opens the pseudo-terminal (raw mode) and starts the module thread.
    bool Start(std::string *error);
    // Stops the thread and closes the pseudo-terminal; safe to call twice.
    void Stop();

    const std::string &DevicePath() const { return fDevicePath; }
    uint64_t FramesSent() const { return fFramesSent.load(); }
    uint64_t BytesSent() const { return fBytesSent.load(); }
    bool ClientConnected() const { return fConnected.load(); }
    // The device has been closed after options.vanishAfter frames (an unplug); the
    // module thread has ended. Stop is still to be called.
    bool Vanished() const { return fVanished.load(); }
    std::string LastError() const;  // e.g. a truth file that could not be written

private:
    void Run();
    void SetError(const std::string &message);

    TSimOptions fOptions;
    std::string fDevicePath;
    int fMaster = -1;
    int fWake[2] = {-1, -1};
    std::thread fThread;
    std::atomic<bool> fStop{false};
    std::atomic<uint64_t> fFramesSent{0};
    std::atomic<uint64_t> fBytesSent{0};
    std::atomic<bool> fConnected{false};
    std::atomic<bool> fVanished{false};
    mutable std::mutex fErrorMutex;
    std::string fError;
};
