// Supply voltage, ambient temperature, object temperatures and image values of
// one frame memory.
#include "sensor/MLX90640_API.h"
#include "sensor/MLX90640_Bits.h"
#include "sensor/MLX90640_FrameMath.h"

using mlx90640_bits::Pow2;
using namespace mlx90640_frame;

double MLX90640_GetVdd(const uint16_t *frameData, const TParamsMLX90640 &params) {
    const double vdd = SignedWord(frameData[810]);
    const int resolutionRAM = (frameData[832] & 0x0C00) >> 10;
    const double resolutionCorrection = Pow2(params.resolutionEE) / Pow2(resolutionRAM);
    return (resolutionCorrection * vdd - params.vdd25) / params.kVdd + 3.3;
}

double MLX90640_GetTa(const uint16_t *frameData, const TParamsMLX90640 &params) {
    const double vdd = MLX90640_GetVdd(frameData, params);
    const double ptat = SignedWord(frameData[800]);
    double ptatArt = SignedWord(frameData[768]);
    ptatArt = ptat / (ptat * params.alphaPTAT + ptatArt) * Pow2(18);
    double ta = ptatArt / (1 + params.KvPTAT * (vdd - 3.3)) - params.vPTAT25;
    return ta / params.KtPTAT + 25;
}

namespace mlx90640_frame {

TFrameConstants FrameConstants(const uint16_t *frameData, const TParamsMLX90640 &params, double emissivity,
                               double tr, bool withTemperatures) {
    TFrameConstants c;
    c.subPage = frameData[833];
    c.mode = FrameMode(frameData);
    c.vdd = MLX90640_GetVdd(frameData, params);
    c.ta = MLX90640_GetTa(frameData, params);
    c.ktaFactor = c.ta - 25;
    c.kvFactor = c.vdd - 3.3;

    if (withTemperatures) {
        const double taK = c.ta + 273.15;
        const double trK = tr + 273.15;
        const double ta4 = taK * taK * taK * taK;
        const double tr4 = trK * trK * trK * trK;
        c.taTr = tr4 - (tr4 - ta4) / emissivity;

        c.alphaCorrR[0] = 1 / (1 + params.ksTo[0] * 40);
        c.alphaCorrR[1] = 1;
        c.alphaCorrR[2] = 1 + params.ksTo[2] * params.ct[2];
        c.alphaCorrR[3] = c.alphaCorrR[2] * (1 + params.ksTo[3] * (params.ct[3] - params.ct[2]));
    }

    c.gain = params.gainEE / SignedWord(frameData[778]);
    c.irDataCP[0] = SignedWord(frameData[776]) * c.gain;
    c.irDataCP[1] = SignedWord(frameData[808]) * c.gain;

    const double F = (1 + params.cpKta * (c.ta - 25)) * (1 + params.cpKv * (c.vdd - 3.3));
    c.irDataCP[0] = c.irDataCP[0] - params.cpOffset[0] * F;
    if (c.mode == params.calibrationModeEE)
        c.irDataCP[1] = c.irDataCP[1] - params.cpOffset[1] * F;
    else
        c.irDataCP[1] = c.irDataCP[1] - (params.cpOffset[1] + params.ilChessC[0]) * F;
    return c;
}

}  // namespace mlx90640_frame

void MLX90640_CalculateTo(const uint16_t *frameData, const TParamsMLX90640 &params, double emissivity,
                          double tr, double *resultArr) {
    const uint16_t subPageWord = frameData[833];
    if (subPageWord > 1)
        return;  // matches no pixel
    const TFrameConstants c = FrameConstants(frameData, params, emissivity, tr, true);

    for (int p = 0; p < 768; ++p) {
        if (!InSubpage(p, c.mode, subPageWord))
            continue;
        const double irData = PixelSignal(params, c, p, SignedWord(frameData[p]), emissivity, true);
        const double alphaCompensated = AlphaCompensated(params, c, p);
        resultArr[p] = ObjectTemperature(params, c, irData, alphaCompensated);
    }
}

void MLX90640_GetImage(const uint16_t *frameData, const TParamsMLX90640 &params, double *resultArr) {
    const uint16_t subPageWord = frameData[833];
    if (subPageWord > 1)
        return;  // matches no pixel
    const TFrameConstants c = FrameConstants(frameData, params, 1.0, 0.0, false);

    for (int p = 0; p < 768; ++p) {
        if (!InSubpage(p, c.mode, subPageWord))
            continue;
        const double irData = PixelSignal(params, c, p, SignedWord(frameData[p]), 1.0, false);
        const double alphaCompensated = AlphaCompensated(params, c, p);
        resultArr[p] = irData / alphaCompensated / 100;
    }
}
