#pragma once
// Merging of half frames ("FR0"/"FR1") into a whole frame memory.

#include <cstddef>
#include <cstdint>
#include <vector>

// Writes the half frame that starts at frame[0] (at least 907 bytes) into dest:
// pixel word i goes to position 2i + ((i div 16 + subpage) mod 2), which on the
// 32 x 24 grid are the pixels whose row + column is even (subpage 0) or odd
// (subpage 1); the 66 auxiliary words go to positions 768 to 833. Pixels of the
// other subpage keep their values. dest is grown to 834 words when shorter.
// Returns false, changing nothing, when the frame is shorter than a half frame or
// the subpage is not 0 or 1.
bool MergeHalfFrame(const uint8_t *frame, size_t len, int subpage, std::vector<uint16_t> &dest);
