#include "ReplaySplit.h"

#include "FrameFormat.h"

#include <algorithm>
#include <cstring>

namespace {
size_t FindMLX(const uint8_t *data, size_t len, size_t from) {
    for (size_t i = from; i + 3 <= len; ++i)
        if (data[i] == 'M' && data[i + 1] == 'L' && data[i + 2] == 'X')
            return i;
    return len;
}
}  // namespace

std::vector<TChunkSpan> SplitCapture(const uint8_t *data, size_t len) {
    std::vector<TChunkSpan> chunks;
    size_t start = FindMLX(data, len, 0);
    if (start > 0)
        chunks.push_back({0, start});  // bytes before the first frame
    while (start < len) {
        const TFrameType type = FrameTypeOf(data + start, len - start);
        const size_t fixed = std::max<size_t>(3, size_t(std::max(0, FrameCompleteLength(type))));
        const size_t next = FindMLX(data, len, std::min(len, start + fixed));
        chunks.push_back({start, next - start});
        start = next;
    }
    return chunks;
}
