#pragma once
// Cutting received bytes at the starts of the module's frames. A frame starts at an
// "MLX"; an "MLX" that lies inside the fixed part of the frame before it (its words
// and check word, FrameCompleteLength) belongs to that frame's data and does not
// start a new piece.

#include <cstddef>
#include <cstdint>
#include <vector>

struct TChunkSpan {
    size_t offset;
    size_t length;
};

// Splits data into consecutive pieces covering all of it: the bytes before the first
// frame start (if any), then one piece per frame from its "MLX" to the next frame
// start or the end of data. `continuing` is the number of bytes still missing from a
// frame begun before data[0]: no "MLX" within the first `continuing` bytes starts a
// frame. Empty data gives no pieces.
std::vector<TChunkSpan> SplitAtFrameStarts(const uint8_t *data, size_t len, size_t continuing = 0);
