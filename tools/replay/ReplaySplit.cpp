#include "replay/ReplaySplit.h"

std::vector<TChunkSpan> SplitCapture(const uint8_t *data, size_t len) {
    // A capture begins with no frame under way.
    return SplitAtFrameStarts(data, len, 0);
}
