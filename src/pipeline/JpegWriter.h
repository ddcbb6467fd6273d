#pragma once
// Baseline colour JPEG files through libjpeg.

#include <cstdint>
#include <string>

// Writes width x height pixels of three bytes each (red, green, blue, or blue,
// green, red when `bgr` is set), rows `stride` bytes apart, top row first, as a
// baseline colour JPEG of the given quality (1..100; outside taken as the nearest
// end). Replaces an existing file. Returns false, with a message in *error when
// given, when the arguments are unusable or the file cannot be written; a file
// that was begun is then removed.
bool WriteJpeg(const std::string &path, const uint8_t *rgbOrBgr, int width, int height, int stride, bool bgr,
               int quality = 100, std::string *error = nullptr);
