#pragma once
// Cutting a raw capture into the chunks the serial line would have delivered: one
// chunk per frame, beginning at its "MLX". An "MLX" that lies inside the fixed part
// of the frame before it (its words and check word) belongs to that frame's data
// and does not start a new chunk.

#include <cstddef>
#include <cstdint>
#include <vector>

struct TChunkSpan {
    size_t offset;
    size_t length;
};

std::vector<TChunkSpan> SplitCapture(const uint8_t *data, size_t len);
