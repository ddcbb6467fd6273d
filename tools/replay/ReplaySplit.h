#pragma once
// Cutting a raw capture into the chunks the serial line would have delivered: one
// chunk per frame, beginning at its "MLX" (the intake's own frame-start splitting,
// applied to a whole capture).

#include "protocol/ChunkSplit.h"

#include <cstddef>
#include <cstdint>
#include <vector>

std::vector<TChunkSpan> SplitCapture(const uint8_t *data, size_t len);
