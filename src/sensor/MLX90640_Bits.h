#pragma once
// Bit-field helpers for the calibration memory.

#include <cmath>
#include <cstdint>

namespace mlx90640_bits {

// Unsigned field of bits h..l of a word.
constexpr int Field(uint16_t word, int h, int l) {
    return (word >> l) & ((1 << (h - l + 1)) - 1);
}

// An n-bit field value read as two's complement.
constexpr int Signed(int value, int n) {
    return value > (1 << (n - 1)) - 1 ? value - (1 << n) : value;
}

// Exact power of two as a double.
inline double Pow2(int k) {
    return std::ldexp(1.0, k);
}

// Entry k of a run of nibble-packed signed 4-bit values starting at word `first`:
// nibble m of word first + q is entry 4q + m.
constexpr int Nibble(const uint16_t *eeData, int first, int k) {
    return Signed(Field(eeData[first + k / 4], 4 * (k % 4) + 3, 4 * (k % 4)), 4);
}

}  // namespace mlx90640_bits
