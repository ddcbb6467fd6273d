#pragma once
// Splits what the virtual module sent into its frames and text lines (tests).

#include "protocol/FrameBuild.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sim_test {

struct TItem {
    std::string type;  // "FRM", "FR0", "FR1", "EEM", "SYS", "PHT" or "TYPE"
    TBytes bytes;
};

inline size_t FrameLength(const std::string &type) {
    if (type == "FRM")
        return kFullFrameBytes;
    if (type == "FR0" || type == "FR1")
        return kHalfFrameBytes;
    if (type == "EEM")
        return kEemFrameBytes;
    if (type == "SYS")
        return kSysFrameBytes;
    if (type == "PHT")
        return kPhotoFrameBytes;
    return 0;
}

// Takes whole items off the front of `buffer`; an incomplete one stays. Bytes that
// begin nothing known are counted in `stray`.
inline std::vector<TItem> TakeItems(TBytes &buffer, size_t &stray) {
    std::vector<TItem> items;
    size_t k = 0;
    while (k < buffer.size()) {
        const size_t left = buffer.size() - k;
        const uint8_t *b = buffer.data() + k;
        if (left >= 3 && b[0] == 'M' && b[1] == 'L' && b[2] == 'X') {
            if (left < 7)
                break;
            const std::string type(reinterpret_cast<const char *>(b + 4), 3);
            const size_t length = FrameLength(type);
            if (length == 0) {
                ++stray;
                ++k;
                continue;
            }
            if (left < length)
                break;
            items.push_back({type, TBytes(b, b + length)});
            k += length;
        } else if (left >= 4 && b[0] == 'T' && b[1] == 'Y' && b[2] == 'P' && b[3] == 'E') {
            size_t end = 4;
            while (end + 1 < left && !(b[end] == '\r' && b[end + 1] == '\n'))
                ++end;
            if (end + 1 >= left)
                break;
            items.push_back({"TYPE", TBytes(b, b + end + 2)});
            k += end + 2;
        } else if (left < 4 && (b[0] == 'M' || b[0] == 'T')) {
            break;  // may be the start of something
        } else {
            ++stray;
            ++k;
        }
    }
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<long>(k));
    return items;
}

inline uint16_t WordAt(const TBytes &b, size_t offset) {
    return static_cast<uint16_t>(b[offset] << 8 | b[offset + 1]);
}

// Payload word k (from byte 7).
inline uint16_t PayloadWord(const TBytes &b, size_t k) {
    return WordAt(b, 7 + 2 * k);
}

// Whether the check word after `words` payload words is the byte sum of the payload.
inline bool CheckWordMatches(const TBytes &b, size_t words) {
    return ByteSum(b.data() + 7, 2 * words) == WordAt(b, 7 + 2 * words);
}

// The 32-word block of a frame: from byte 1684 of "FRM", 916 of half frames, 7 of "SYS".
inline TSysBlock BlockOf(const TItem &item) {
    const size_t start = item.type == "FRM" ? 1684 : item.type == "SYS" ? 7 : 916;
    TSysBlock block{};
    for (size_t k = 0; k < 32; ++k)
        block[k] = WordAt(item.bytes, start + 2 * k);
    return block;
}

}  // namespace sim_test
