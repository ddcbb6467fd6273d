#pragma once
// A replay of a capture through the program's own frame intake (receive handler,
// decoding worker) and sensor image object, with this thread as the UI thread.
// Each chunk is fed and waited for, so no frame finds the decoder busy.

#include "link/FrameIntake.h"
#include "link/StdUiDispatcher.h"
#include "pipeline/MLX90640.h"
#include "protocol/FrameFormat.h"
#include "replay/ReplayOptions.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// One frame that the sensor image object turned into a picture.
struct TReplayFrame {
    int index = 0;                       // counts from 0
    TFrameType type = TFrameType::None;  // FRM, FR0, FR1 or PHT
    std::shared_ptr<const TMLX90640Published> published;
};

// Gives the sensor image object the display settings of the options.
void ApplyDisplayOptions(const TReplayOptions &options, TMLX90640 &object);

class TReplaySession {
public:
    explicit TReplaySession(const TReplayOptions &options);
    ~TReplaySession();

    // Feeds one chunk through the receive handler (in pieces of at most 4096 bytes,
    // as the serial component delivers them) and waits until it is decoded.
    // Appends the frames that reached a picture.
    void Feed(const uint8_t *data, size_t len, std::vector<TReplayFrame> &frames);

    // Frames handed to the sensor image object that did not give a picture.
    int Abandoned() const;

    TFrameIntake &Intake() { return *fIntake; }
    TMLX90640 &Object() { return fObject; }

private:
    class TCountingSink;

    TMLX90640 fObject;
    std::shared_ptr<TCountingSink> fSink;
    std::shared_ptr<TStdUiDispatcher> fDispatcher;
    std::unique_ptr<TFrameIntake> fIntake;
    TFrameType fLastFrameType = TFrameType::None;
    uint64_t fLastFrameNumber = 0;
    int fNextIndex = 0;
};
