#include "protocol/HalfFrameMerge.h"

#include "protocol/FrameFormat.h"

bool MergeHalfFrame(const uint8_t *frame, size_t len, int subpage, std::vector<uint16_t> &dest) {
    using namespace FrameLayout;
    if (len < size_t(HalfMinLen) || (subpage != 0 && subpage != 1))
        return false;
    if (dest.size() < size_t(FrameWords))
        dest.resize(FrameWords, 0);
    for (int i = 0; i < HalfPixelWords; ++i)
        dest[2 * i + ((i / 16 + subpage) % 2)] = BigEndianWordAt(frame, PayloadPos + 2 * i);
    for (int j = 0; j < HalfAuxWords; ++j)
        dest[PixelWords + j] = BigEndianWordAt(frame, HalfAuxPos + 2 * j);
    return true;
}
