// A ready-made calibration with the magnitudes of a real sensor.
#include "sim/SyntheticSensor.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

// Small deterministic generator (splitmix64), the same sequence on every platform.
class TScatter {
public:
    explicit TScatter(uint64_t seed) : fState(seed) {}
    // Integer in [lo, hi].
    int Uniform(int lo, int hi) {
        fState += 0x9E3779B97F4A7C15ull;
        uint64_t z = fState;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return lo + static_cast<int>(z % static_cast<uint64_t>(hi - lo + 1));
    }

private:
    uint64_t fState;
};

int RoundToInt(double v) {
    return static_cast<int>(std::lround(v));
}

void CheckPixel(int p, const char *what) {
    if (p < 0 || p >= kMlxPixels)
        throw std::invalid_argument(std::string(what) + " pixel " + std::to_string(p) + " is outside 0..767");
}

}  // namespace

TCalibrationFields RealisticCalibrationFields(const TRealisticCalibrationOptions &options) {
    TCalibrationFields f;
    f.interleavedCalibration = false;  // chess calibration

    f.kVddCode = -99;    // kVdd = -3168
    f.vdd25Code = 103;   // vdd25 = -13088
    f.kvPtatCode = 9;    // KvPTAT = 0.0021973
    f.ktPtatCode = 338;  // KtPTAT = 42.25
    f.vPTAT25 = 12273;
    f.alphaPtatNibble = 4;  // alphaPTAT = 9
    f.gainEE = 5880;

    f.resolutionEE = 2;  // 18 bits
    f.kvScale = 4;
    f.ktaScale1Code = 5;  // ktaScale1 = 13
    f.ktaScale2 = 0;

    f.ksTaCode = -16;      // KsTa = -0.00195
    f.tgcCode = 4;         // tgc = 0.125
    f.ksToScaleCode = 9;   // ksTo scale 2^17
    f.ksToCode[0] = -110;  // ksTo around -0.0008
    f.ksToCode[1] = -105;
    f.ksToCode[2] = -100;
    f.ksToCode[3] = -96;
    f.stepCode = 2;   // step 20
    f.ct2Nibble = 8;  // ct[2] = 160
    f.ct3Nibble = 8;  // ct[3] = 320

    // Sensitivity: alphaRef / 2^39 = 1.02e-7, falling off towards the edges of the
    // array by a few per cent, plus a small scatter of its own per pixel.
    f.alphaScaleNibble = 9;
    f.alphaRef = 56000;
    f.accRowScale = 9;
    f.accColumnScale = 9;
    f.accRemScale = 4;
    for (int i = 0; i < kMlxRows; ++i) {
        const double x = (i - 11.5) / 11.5;
        f.accRow[i] = RoundToInt(3 - 7 * x * x);
    }
    for (int j = 0; j < kMlxColumns; ++j) {
        const double x = (j - 15.5) / 15.5;
        f.accColumn[j] = RoundToInt(3 - 7 * x * x);
    }

    // Offset: -70 counts with row and column bands and a per-pixel scatter.
    f.offsetRef = -70;
    f.occRowScale = 1;
    f.occColumnScale = 1;
    f.occRemScale = 0;
    for (int i = 0; i < kMlxRows; ++i)
        f.occRow[i] = RoundToInt(2 * std::sin(i * 0.55));
    for (int j = 0; j < kMlxColumns; ++j)
        f.occColumn[j] = RoundToInt(2 * std::cos(j * 0.4));

    // kta about 0.005, kv about 0.4.
    f.ktaRoCo = 40;
    f.ktaRoCe = 42;
    f.ktaReCo = 41;
    f.ktaReCe = 39;
    f.kvRoCo = 6;
    f.kvRoCe = 7;
    f.kvReCo = 7;
    f.kvReCe = 6;

    // Compensation pixels.
    f.cpAlpha0Code = 300;  // 300 / 2^36 = 4.4e-9
    f.cpAlphaRatioCode = 2;
    f.cpOffset0Code = -66;
    f.cpOffsetDeltaCode = 2;
    f.cpKvCode = 6;    // 0.375
    f.cpKtaCode = 33;  // 0.0040

    f.ilChessC0Code = 5;   // 0.3125
    f.ilChessC1Code = 3;   // 1.5
    f.ilChessC2Code = -3;  // -0.375

    TScatter scatter(0x4B6F7276616C65ull ^ (static_cast<uint64_t>(options.seed) << 20));
    for (int p = 0; p < kMlxPixels; ++p) {
        f.pixelOffset[p] = scatter.Uniform(-2, 2);
        f.pixelAlpha[p] = scatter.Uniform(-8, 8);
        f.pixelKta[p] = scatter.Uniform(-2, 2);
        // A word of 0 would mark the pixel broken.
        if (f.pixelOffset[p] == 0 && f.pixelAlpha[p] == 0 && f.pixelKta[p] == 0)
            f.pixelKta[p] = 1;
    }

    for (int p : options.brokenPixels) {
        CheckPixel(p, "broken");
        f.broken[p] = true;
    }
    for (int p : options.outlierPixels) {
        CheckPixel(p, "outlier");
        f.outlier[p] = true;
    }
    return f;
}

std::vector<uint16_t> RealisticCalibration(const TRealisticCalibrationOptions &options) {
    return EncodeCalibration(RealisticCalibrationFields(options));
}
