// Calibration fields -> 832-word calibration memory (the inverse of the extraction).
#include "sim/SyntheticSensor.h"

#include <stdexcept>
#include <string>

namespace {

// Checks that a code lies in [lo, hi] and returns its low `bits` bits.
uint16_t Code(int value, int lo, int hi, int bits, const char *name) {
    if (value < lo || value > hi)
        throw std::invalid_argument(std::string("calibration code ") + name + " = " + std::to_string(value) +
                                    " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    return static_cast<uint16_t>(static_cast<unsigned>(value) & ((1u << bits) - 1u));
}

uint16_t Unsigned(int value, int bits, const char *name) {
    return Code(value, 0, (1 << bits) - 1, bits, name);
}

uint16_t Signed(int value, int bits, const char *name) {
    return Code(value, -(1 << (bits - 1)), (1 << (bits - 1)) - 1, bits, name);
}

// Packs `count` signed 4-bit values into words first, first + 1, ...: entry 4k + m
// is nibble m of word first + k.
void PackNibbles(std::vector<uint16_t> &w, int first, const int *values, int count, const char *name) {
    for (int k = 0; k < count; ++k)
        w[first + k / 4] |= static_cast<uint16_t>(Signed(values[k], 4, name) << (4 * (k % 4)));
}

}  // namespace

std::vector<uint16_t> EncodeCalibration(const TCalibrationFields &f) {
    std::vector<uint16_t> w(kMlxCalibrationWords, 0);

    w[10] =
        static_cast<uint16_t>((f.interleavedCalibration ? 0x0800 : 0) | (f.deviceSelectFlag ? 0x0040 : 0));

    w[16] = static_cast<uint16_t>(Unsigned(f.alphaPtatNibble, 4, "alphaPtatNibble") << 12 |
                                  Unsigned(f.occRowScale, 4, "occRowScale") << 8 |
                                  Unsigned(f.occColumnScale, 4, "occColumnScale") << 4 |
                                  Unsigned(f.occRemScale, 4, "occRemScale"));
    w[17] = Signed(f.offsetRef, 16, "offsetRef");
    PackNibbles(w, 18, f.occRow, 24, "occRow");
    PackNibbles(w, 24, f.occColumn, 32, "occColumn");

    w[32] = static_cast<uint16_t>(Unsigned(f.alphaScaleNibble, 4, "alphaScaleNibble") << 12 |
                                  Unsigned(f.accRowScale, 4, "accRowScale") << 8 |
                                  Unsigned(f.accColumnScale, 4, "accColumnScale") << 4 |
                                  Unsigned(f.accRemScale, 4, "accRemScale"));
    w[33] = Unsigned(f.alphaRef, 16, "alphaRef");
    PackNibbles(w, 34, f.accRow, 24, "accRow");
    PackNibbles(w, 40, f.accColumn, 32, "accColumn");

    w[48] = Signed(f.gainEE, 16, "gainEE");
    w[49] = Unsigned(f.vPTAT25, 16, "vPTAT25");
    w[50] = static_cast<uint16_t>(Signed(f.kvPtatCode, 6, "kvPtatCode") << 10 |
                                  Signed(f.ktPtatCode, 10, "ktPtatCode"));
    w[51] =
        static_cast<uint16_t>(Signed(f.kVddCode, 8, "kVddCode") << 8 | Unsigned(f.vdd25Code, 8, "vdd25Code"));
    w[52] = static_cast<uint16_t>(Signed(f.kvRoCo, 4, "kvRoCo") << 12 | Signed(f.kvReCo, 4, "kvReCo") << 8 |
                                  Signed(f.kvRoCe, 4, "kvRoCe") << 4 | Signed(f.kvReCe, 4, "kvReCe"));
    w[53] = static_cast<uint16_t>(Signed(f.ilChessC2Code, 5, "ilChessC2Code") << 11 |
                                  Signed(f.ilChessC1Code, 5, "ilChessC1Code") << 6 |
                                  Signed(f.ilChessC0Code, 6, "ilChessC0Code"));
    w[54] = static_cast<uint16_t>(Signed(f.ktaRoCo, 8, "ktaRoCo") << 8 | Signed(f.ktaReCo, 8, "ktaReCo"));
    w[55] = static_cast<uint16_t>(Signed(f.ktaRoCe, 8, "ktaRoCe") << 8 | Signed(f.ktaReCe, 8, "ktaReCe"));
    w[56] = static_cast<uint16_t>(
        Unsigned(f.resolutionEE, 2, "resolutionEE") << 12 | Unsigned(f.kvScale, 4, "kvScale") << 8 |
        Unsigned(f.ktaScale1Code, 4, "ktaScale1Code") << 4 | Unsigned(f.ktaScale2, 4, "ktaScale2"));
    w[57] = static_cast<uint16_t>(Signed(f.cpAlphaRatioCode, 6, "cpAlphaRatioCode") << 10 |
                                  Signed(f.cpAlpha0Code, 10, "cpAlpha0Code"));
    w[58] = static_cast<uint16_t>(Signed(f.cpOffsetDeltaCode, 6, "cpOffsetDeltaCode") << 10 |
                                  Signed(f.cpOffset0Code, 10, "cpOffset0Code"));
    w[59] =
        static_cast<uint16_t>(Signed(f.cpKvCode, 8, "cpKvCode") << 8 | Signed(f.cpKtaCode, 8, "cpKtaCode"));
    w[60] = static_cast<uint16_t>(Signed(f.ksTaCode, 8, "ksTaCode") << 8 | Signed(f.tgcCode, 8, "tgcCode"));
    w[61] = static_cast<uint16_t>(Signed(f.ksToCode[1], 8, "ksToCode[1]") << 8 |
                                  Signed(f.ksToCode[0], 8, "ksToCode[0]"));
    w[62] = static_cast<uint16_t>(Signed(f.ksToCode[3], 8, "ksToCode[3]") << 8 |
                                  Signed(f.ksToCode[2], 8, "ksToCode[2]"));
    w[63] = static_cast<uint16_t>(
        Unsigned(f.stepCode, 2, "stepCode") << 12 | Unsigned(f.ct3Nibble, 4, "ct3Nibble") << 8 |
        Unsigned(f.ct2Nibble, 4, "ct2Nibble") << 4 | Unsigned(f.ksToScaleCode, 4, "ksToScaleCode"));

    for (int p = 0; p < kMlxPixels; ++p) {
        if (f.broken[p]) {
            w[64 + p] = 0;
            continue;
        }
        const uint16_t word = static_cast<uint16_t>(
            Signed(f.pixelOffset[p], 6, "pixelOffset") << 10 | Signed(f.pixelAlpha[p], 6, "pixelAlpha") << 4 |
            Signed(f.pixelKta[p], 3, "pixelKta") << 1 | (f.outlier[p] ? 1 : 0));
        if (word == 0)
            throw std::invalid_argument("calibration word of pixel " + std::to_string(p) +
                                        " would be 0, which marks a broken pixel");
        w[64 + p] = word;
    }
    return w;
}
