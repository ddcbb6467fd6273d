#pragma once
// Per-frame constants and the per-pixel steps of the object-temperature
// calculation, shared by MLX90640_CalculateTo / MLX90640_GetImage and the frame
// synthesiser (which must agree with them to the last bit).

#include "sensor/MLX90640_API.h"

#include <cmath>
#include <cstdint>

namespace mlx90640_frame {

inline double SignedWord(uint16_t word) {
    return word > 32767 ? static_cast<double>(word) - 65536.0 : static_cast<double>(word);
}

inline double FourthRoot(double x) {
    return std::sqrt(std::sqrt(x));
}

inline int IlPattern(int p) {
    return p / 32 - 2 * (p / 64);
}
inline int ChessPattern(int p) {
    return IlPattern(p) ^ (p % 2);
}
inline int ConversionPattern(int p) {
    return ((p + 2) / 4 - (p + 3) / 4 + (p + 1) / 4 - p / 4) * (1 - 2 * IlPattern(p));
}

// Reading pattern of a frame: 0x80 chess, 0 interleaved (the coding of calibrationModeEE).
inline int FrameMode(const uint16_t *frameData) {
    return (frameData[832] & 0x1000) >> 5;
}

// Whether pixel p belongs to the subpage that the frame carries.
inline bool InSubpage(int p, int mode, uint16_t subPageWord) {
    const int pattern = mode == 0 ? IlPattern(p) : ChessPattern(p);
    return pattern == static_cast<int>(subPageWord);
}

// Quantities computed once per frame.
struct TFrameConstants {
    int subPage = 0;  // word 833 (only meaningful as an index when 0 or 1)
    int mode = 0;
    double vdd = 0;
    double ta = 0;
    double gain = 0;
    double irDataCP[2] = {0, 0};
    double taTr = 0;
    double alphaCorrR[4] = {0, 0, 0, 0};
    double ktaFactor = 0;  // ta - 25
    double kvFactor = 0;   // vdd - 3.3
};

// Per-call steps 1 and 4 to 6; with `withTemperatures` also steps 2 and 3.
TFrameConstants FrameConstants(const uint16_t *frameData, const TParamsMLX90640 &params, double emissivity,
                               double tr, bool withTemperatures);

// Per-pixel steps 1 to 5: the compensated signal of pixel p for raw word `raw`.
// `divideByEmissivity` is false for the image values.
inline double PixelSignal(const TParamsMLX90640 &params, const TFrameConstants &c, int p, double raw,
                          double emissivity, bool divideByEmissivity) {
    double irData = raw * c.gain;
    irData = irData - params.offset[p] * (1 + params.kta[p] * c.ktaFactor) * (1 + params.kv[p] * c.kvFactor);
    if (c.mode != params.calibrationModeEE)
        irData =
            irData + params.ilChessC[2] * (2 * IlPattern(p) - 1) - params.ilChessC[1] * ConversionPattern(p);
    if (divideByEmissivity)
        irData = irData / emissivity;
    irData = irData - params.tgc * c.irDataCP[c.subPage];
    return irData;
}

// Per-pixel step 6.
inline double AlphaCompensated(const TParamsMLX90640 &params, const TFrameConstants &c, int p) {
    return (params.alpha[p] - params.tgc * params.cpAlpha[c.subPage]) * (1 + params.KsTa * c.ktaFactor);
}

// Per-pixel steps 7 to 10 for a compensated signal.
inline double ObjectTemperature(const TParamsMLX90640 &params, const TFrameConstants &c, double irData,
                                double alphaCompensated) {
    double Sx = alphaCompensated * alphaCompensated * alphaCompensated * (irData + alphaCompensated * c.taTr);
    Sx = FourthRoot(Sx) * params.ksTo[1];

    double Too =
        FourthRoot(irData / (alphaCompensated * (1 - params.ksTo[1] * 273.15) + Sx) + c.taTr) - 273.15;

    int range;
    if (Too < params.ct[1])
        range = 0;
    else if (Too < params.ct[2])
        range = 1;
    else if (Too < params.ct[3])
        range = 2;
    else
        range = 3;

    Too = FourthRoot(irData / (alphaCompensated * c.alphaCorrR[range] *
                               (1 + params.ksTo[range] * (Too - params.ct[range]))) +
                     c.taTr) -
          273.15;
    return Too;
}

}  // namespace mlx90640_frame
