#pragma once
// TCaptureRecorder: the window's recording of a session. Every chunk the module
// sends is appended, with the time it arrived, to a capture file (CaptureFile,
// docs/capture-format.md). The calibration and the parameter block the program
// already holds go first, as the "EEM" and "SYS" frames the module would have sent,
// so a recording started in the middle of a session plays back on its own.
//
// A write that fails (a full disk, a file that may grow no more) ends the recording:
// the file is cut back to its last whole record, so everything written before reads
// back, and the recorder says why.
//
// Plain C++; used on one thread (the UI thread, where the chunks arrive).

#include "protocol/CaptureFile.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TCaptureRecorder {
public:
    using TClock = std::chrono::steady_clock;

    TCaptureRecorder() = default;
    ~TCaptureRecorder();  // stops a recording that is still running
    TCaptureRecorder(const TCaptureRecorder &) = delete;
    TCaptureRecorder &operator=(const TCaptureRecorder &) = delete;

    // Creates `path` and writes the header, then the calibration (832 words, when
    // given) and the parameter block (32 words, when given) as frames at time 0.
    // False with a message when the file cannot be created or written.
    bool Start(const std::string &path, const std::vector<uint16_t> &calibration,
               const std::vector<uint16_t> &parameters, std::string *error);
    // One chunk that arrived now. False with a message when writing failed: the
    // recording has then ended (IsRecording is false) and the file holds every
    // record before this one.
    bool Append(const uint8_t *data, size_t len, std::string *error);
    // The same with the arrival time given (tests).
    bool AppendAt(TClock::time_point arrived, const uint8_t *data, size_t len, std::string *error);
    // Ends the recording; false with a message when the last bytes could not be written.
    bool Stop(std::string *error);

    bool IsRecording() const { return fWriter.IsOpen(); }
    const std::string &Path() const { return fPath; }
    // Frames begun in the module's chunks since the start (the calibration and
    // parameters written first are not counted).
    uint64_t Frames() const { return fFrames; }
    // Size of the file so far, in bytes.
    uint64_t Bytes() const { return fWriter.IsOpen() ? fWriter.BytesWritten() : fBytes; }
    // Time since the start (until Stop: the recording's length).
    double ElapsedSeconds() const;

private:
    bool Fail(std::string *error, const std::string &why);
    void CountFrameStarts(const uint8_t *data, size_t len);

    TCaptureWriter fWriter;
    std::string fPath;
    TClock::time_point fStart{};
    TClock::time_point fEnd{};
    uint64_t fFrames = 0;
    uint64_t fBytes = 0;
    // The last bytes of the previous chunk, so a frame start cut between two chunks
    // is counted once.
    std::vector<uint8_t> fTail;
};
