#pragma once
// What the frame decoding reports to the window, as data: the type and length of
// the last frame, the verdict of the last check word, the last system-parameter
// block and the date of the last photo. The window turns it into texts.
//
// Threads: the decoding workers change the status under the board's lock; the
// window takes a copy (one consistent value) at its refresh tick.

#include "protocol/FrameFormat.h"
#include "protocol/SysParsBlock.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

enum class TCheckVerdict : uint8_t {
    None,     // no check word compared yet
    Correct,  // the byte sum matched the check word
    Error,    // it did not, or the check word was not wholly received
};

// Where the last system-parameter block came from: a "SYS" frame or the block that
// follows a whole or half frame (the window labels the battery voltage differently).
enum class TBlockSource : uint8_t { SysFrame, FrameBlock };

struct TLinkStatus {
    // The last frame a worker took up: SYS, EEM, FRM, FR0/FR1 or PHT; None before.
    TFrameType LastType = TFrameType::None;
    int32_t LastLength = 0;   // its length in bytes
    uint8_t LastSubpage = 0;  // FRM, FR0/FR1: the subpage byte; PHT: byte 1674
    // The last check word compared ("EEM" and "FRM"); for a correct "FRM" frame
    // MeanPixelWord is the mean raw pixel word, else -1.
    TCheckVerdict Check = TCheckVerdict::None;
    int64_t MeanPixelWord = -1;
    // Check words that failed so far ("EEM" and "FRM"), and of those the frames that
    // were dropped for it (TLinkCore::DropFailedFrames).
    uint64_t FailedChecks = 0;
    uint64_t DroppedFailedFrames = 0;
    // The last system-parameter block received.
    std::optional<TSysParsBlock> Block;
    TBlockSource BlockSource = TBlockSource::SysFrame;
    // The date and time of the last photo that carried them.
    std::optional<TPhotoStamp> PhotoStamp;
    // Grows with every change, so a reader can tell a new status from the one it has.
    uint64_t Sequence = 0;
};

// The status shared by the workers and the window.
class TLinkStatusBoard {
public:
    // Applies `change` to the status under the lock and counts the change.
    void Change(const std::function<void(TLinkStatus &)> &change) {
        std::lock_guard<std::mutex> lock(fMutex);
        change(fStatus);
        ++fStatus.Sequence;
    }
    TLinkStatus Get() const {
        std::lock_guard<std::mutex> lock(fMutex);
        return fStatus;
    }

private:
    mutable std::mutex fMutex;
    TLinkStatus fStatus;
};
