#pragma once
// Calibrations and frames built by hand for the sensor tests.

#include "sensor/MLX90640_API.h"
#include "sim/SyntheticSensor.h"

#include <cstdint>
#include <vector>

namespace sensor_test {

// A calibration whose maths can be followed by hand: gain 1, no kta/kv, tgc,
// KsTa or ksTo, offset -70 everywhere, alpha (56000 + 1 + p % 7) / 2^39, chess
// calibration, 18-bit resolution, ranges -40 / 0 / 100 / 200.
inline TCalibrationFields SimpleFields() {
    TCalibrationFields f;
    f.kVddCode = -99;
    f.vdd25Code = 103;
    f.ktPtatCode = 338;
    f.vPTAT25 = 12273;
    f.alphaPtatNibble = 4;
    f.gainEE = 5880;
    f.alphaScaleNibble = 9;
    f.alphaRef = 56000;
    f.offsetRef = -70;
    f.resolutionEE = 2;
    f.ksToScaleCode = 9;
    f.stepCode = 1;
    f.ct2Nibble = 10;
    f.ct3Nibble = 10;
    for (int p = 0; p < 768; ++p)
        f.pixelAlpha[p] = 1 + p % 7;
    return f;
}

inline TParamsMLX90640 Extract(const TCalibrationFields &f) {
    TParamsMLX90640 r{};
    const std::vector<uint16_t> w = EncodeCalibration(f);
    MLX90640_ExtractParameters(w.data(), r);
    return r;
}

inline uint16_t Word(int v) {
    return static_cast<uint16_t>(static_cast<int16_t>(v));
}

// A frame for the simple calibration: supply 3.3 V, ambient near 25 °C, gain
// reading equal to gainEE, compensation pixels 0, every pixel word `raw`.
inline std::vector<uint16_t> SimpleFrame(int raw, bool chess, int subpage) {
    std::vector<uint16_t> d(835, 0);
    for (int p = 0; p < 768; ++p)
        d[p] = Word(raw);
    d[768] = 19776;
    d[800] = 1600;
    d[778] = 5880;
    d[810] = Word(-13088);
    d[832] = static_cast<uint16_t>((chess ? 0x1000 : 0) | (2 << 10));
    d[833] = static_cast<uint16_t>(subpage);
    return d;
}

}  // namespace sensor_test
