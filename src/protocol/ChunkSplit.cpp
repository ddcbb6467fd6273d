#include "protocol/ChunkSplit.h"

#include "protocol/FrameFormat.h"

#include <algorithm>

namespace {
size_t FindMLX(const uint8_t *data, size_t len, size_t from) {
    for (size_t i = from; i + 3 <= len; ++i)
        if (data[i] == 'M' && data[i + 1] == 'L' && data[i + 2] == 'X')
            return i;
    return len;
}
}  // namespace

std::vector<TChunkSpan> SplitAtFrameStarts(const uint8_t *data, size_t len, size_t continuing) {
    std::vector<TChunkSpan> pieces;
    size_t start = FindMLX(data, len, std::min(len, continuing));
    if (start > 0)
        pieces.push_back({0, start});  // the rest of an earlier frame, or bytes before a frame
    while (start < len) {
        const TFrameType type = FrameTypeOf(data + start, len - start);
        // At least the "MLX" itself; an unknown type has no fixed part.
        const size_t fixed = std::max<size_t>(3, size_t(std::max(0, FrameCompleteLength(type))));
        const size_t next = FindMLX(data, len, std::min(len, start + fixed));
        pieces.push_back({start, next - start});
        start = next;
    }
    return pieces;
}
