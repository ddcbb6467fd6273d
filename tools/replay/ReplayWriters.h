#pragma once
// What korvale-replay writes for each frame: the CSV line and the optional files.

#include "replay/ReplayOptions.h"
#include "replay/ReplaySession.h"

#include <string>

// "index,type,subpage,vdd,ta,min,max,avg,lower,upper"
std::string CsvHeader();
// The frame's line; numbers in "%.17g" form, without a line end.
std::string CsvLine(const TReplayFrame &frame);

// "DIR/frame_00042.ext"
std::string FramePath(const std::string &dir, int index, const char *extension);

// Each writer returns false with a message in *error when the file cannot be written.
bool WritePictureTemps(const std::string &path, const TPixels &grid, std::string *error);
bool WritePpm(const std::string &path, const TBitmap24 &bitmap, std::string *error);

// Creates the output folders the options name; false with a message on failure.
bool PrepareOutputDirs(const TReplayOptions &options, std::string *error);
// Writes every file the options ask for.
bool WriteFrameFiles(const TReplayOptions &options, const TReplayFrame &frame, std::string *error);
