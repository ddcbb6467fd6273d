#pragma once
// A recorded session of the virtual module: the byte stream it would send after
// being asked for its calibration and parameters, then `frames` live frames at
// the configured rate (session time advances by one frame period per frame).

#include "protocol/FrameBuild.h"
#include "sim/SimOptions.h"

#include <cstdint>
#include <string>
#include <vector>

// One message of a session and when it is sent (microseconds after the start).
struct TRecordedMessage {
    uint64_t micros = 0;
    TBytes bytes;
};

// Messages: "EEM" frame, "SYS" frame (both at time 0), then the frames ("FRM", or
// "FR0"/"FR1" with half frames preset) at k frame periods, with the line faults of
// the options applied (flips and drops). Writes truth files when options.truthDir is set.
bool RecordSessionMessages(const TSimOptions &options, int frames, std::vector<TRecordedMessage> &messages,
                           std::string *error);
// The same messages as one byte stream.
bool RecordSession(const TSimOptions &options, int frames, TBytes &stream, std::string *error);

enum class TRecordFormat {
    Capture,  // capture file: header with the start time, one timed record per message
    Raw,      // the bytes alone
};
bool RecordSessionToFile(const TSimOptions &options, int frames, const std::string &path,
                         TRecordFormat format, std::string *error);
