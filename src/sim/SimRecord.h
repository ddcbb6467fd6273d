#pragma once
// A recorded session of the virtual module: the byte stream it would send after
// being asked for its calibration and parameters, then `frames` live frames at
// the configured rate (session time advances by one frame period per frame).

#include "sim/SimFrames.h"
#include "sim/SimOptions.h"

#include <string>

// Stream: "EEM" frame, "SYS" frame, then the frames ("FRM", or "FR0"/"FR1" with
// half frames preset). Writes truth files when options.truthDir is set.
bool RecordSession(const TSimOptions &options, int frames, TBytes &stream, std::string *error);
bool RecordSessionToFile(const TSimOptions &options, int frames, const std::string &path, std::string *error);
