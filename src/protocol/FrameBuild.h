#pragma once
// Building what the module sends: "MLX" frames and the "TYPE" line. The virtual
// module sends these; a recording writes the calibration and parameters the window
// holds as an "EEM" and a "SYS" frame at its start, as if the module had just sent them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;
using TSysBlock = std::array<uint16_t, 32>;

constexpr size_t kSysFrameBytes = 71;      // header + 32 words
constexpr size_t kEemFrameBytes = 1673;    // header + 832 words + check word
constexpr size_t kFullFrameBytes = 1748;   // header + 834 words + check + 7 spare + 32-word block
constexpr size_t kHalfFrameBytes = 980;    // header + 384 + 66 words + 9 spare + 32-word block
constexpr size_t kPhotoFrameBytes = 1681;  // header + 834 words + 6 date/time bytes

// A date and time of the module's clock.
struct TDateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Two decimal digits in packed form: 19 -> 0x19.
uint8_t ToBcd(int value);

// Unsigned 16-bit sum of single bytes.
uint16_t ByteSum(const uint8_t *data, size_t n);

TBytes TypeLine();
TBytes BuildSysFrame(const TSysBlock &block);
// From a word array: its first 32 words (missing ones are 0).
TBytes BuildSysFrame(const std::vector<uint16_t> &block);
// From the 832 calibration words (further words are ignored, missing ones are 0), with
// the byte-sum check word.
TBytes BuildEemFrame(const std::vector<uint16_t> &calibration);
TBytes BuildFullFrame(const uint16_t *frame834, const TSysBlock &block, uint8_t tag);
// Half frame of subpage 0 or 1: the pixels of that chess-board colour, then words 768..833.
TBytes BuildHalfFrame(const uint16_t *frame834, int subpage, const TSysBlock &block, uint8_t tag);
TBytes BuildPhotoFrame(const uint16_t *frame834, const TDateTime &taken);

// Pixel position of word i (0..383) of a half frame of subpage s.
inline int HalfFramePixel(int i, int s) {
    return 2 * i + ((i / 16 + s) % 2);
}
