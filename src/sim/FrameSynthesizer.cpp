// Scene of object temperatures -> raw frame memory, by solving each raw word
// against the forward temperature maths.
#include "sensor/MLX90640_Bits.h"
#include "sensor/MLX90640_FrameMath.h"
#include "sim/SyntheticSensor.h"

#include <cmath>
#include <stdexcept>

using namespace mlx90640_frame;

namespace {

constexpr double kNominalPtat = 1600;  // PTAT reading of a typical sensor

// Nearest signed 16-bit reading, stored as its word; NaN gives 0.
uint16_t ToWord(double v) {
    if (std::isnan(v))
        return 0;
    if (v > 32767)
        v = 32767;
    if (v < -32768)
        v = -32768;
    return static_cast<uint16_t>(static_cast<int16_t>(std::lround(v)));
}

double Pow4(double x) {
    return x * x * x * x;
}

// The first estimate of the forward maths (steps 7 and 8) for a compensated signal.
double FirstEstimate(const TParamsMLX90640 &params, const TFrameConstants &c, double irData,
                     double alphaCompensated) {
    double Sx = alphaCompensated * alphaCompensated * alphaCompensated * (irData + alphaCompensated * c.taTr);
    Sx = FourthRoot(Sx) * params.ksTo[1];
    return FourthRoot(irData / (alphaCompensated * (1 - params.ksTo[1] * 273.15) + Sx) + c.taTr) - 273.15;
}

int RangeOf(const TParamsMLX90640 &params, double too) {
    if (too < params.ct[1])
        return 0;
    if (too < params.ct[2])
        return 1;
    if (too < params.ct[3])
        return 2;
    return 3;
}

// Compensated signal that reads back as `target`: the final formula solved for the
// signal, with the range and the first estimate found by a few fixed-point rounds.
double SignalFor(const TParamsMLX90640 &params, const TFrameConstants &c, double target,
                 double alphaCompensated) {
    const double wanted = Pow4(target + 273.15) - c.taTr;
    double estimate = target;
    double irData = 0;
    for (int round = 0; round < 4; ++round) {
        const int range = RangeOf(params, estimate);
        irData = alphaCompensated * c.alphaCorrR[range] *
                 (1 + params.ksTo[range] * (estimate - params.ct[range])) * wanted;
        const double next = FirstEstimate(params, c, irData, alphaCompensated);
        if (!std::isfinite(next) || next == estimate)
            break;
        estimate = next;
    }
    return irData;
}

double Distance(double a, double b) {
    const double d = std::fabs(a - b);
    return std::isnan(d) ? INFINITY : d;
}

}  // namespace

TFrameSynthesizer::TFrameSynthesizer(const TParamsMLX90640 &params) : fParams(params) {}

void TFrameSynthesizer::Render(const double *scene, const TFrameConditions &cond, uint16_t *out) const {
    if (cond.subpage != 0 && cond.subpage != 1)
        throw std::invalid_argument("subpage must be 0 or 1");
    if (cond.resolution < -1 || cond.resolution > 3)
        throw std::invalid_argument("resolution code must be 0..3 (or -1)");
    const TParamsMLX90640 &params = fParams;

    for (int k = 0; k < kMlxFrameWords; ++k)
        out[k] = 0;
    const int resolution = cond.resolution < 0 ? params.resolutionEE : cond.resolution;
    out[832] = static_cast<uint16_t>((cond.chess ? 0x1000 : 0) | (resolution << 10) |
                                     ((cond.rateCode & 7) << 7) | 0x0001);
    out[833] = static_cast<uint16_t>(cond.subpage);

    // Supply reading: (correction * word - vdd25) / kVdd + 3.3 = vdd.
    const double correction = mlx90640_bits::Pow2(params.resolutionEE) / mlx90640_bits::Pow2(resolution);
    out[810] = ToWord(((cond.vdd - 3.3) * params.kVdd + params.vdd25) / correction);
    const double vdd = MLX90640_GetVdd(out, params);

    // Ambient readings: a typical PTAT word and the reference word that makes
    // MLX90640_GetTa come out at the wanted ambient temperature.
    const double ptatArt =
        ((cond.ta - 25) * params.KtPTAT + params.vPTAT25) * (1 + params.KvPTAT * (vdd - 3.3));
    const double ratio = ptatArt / mlx90640_bits::Pow2(18);  // ptat / (ptat * alphaPTAT + reference)
    const double perPtat = 1 / ratio - params.alphaPTAT;     // reference / ptat
    double ptat = kNominalPtat;
    if (std::isfinite(perPtat) && std::fabs(perPtat) * ptat > 32000)
        ptat = std::floor(32000 / std::fabs(perPtat));
    if (ptat < 1)
        ptat = 1;
    out[800] = ToWord(ptat);
    out[768] = ToWord(ptat * perPtat);
    const double ta = MLX90640_GetTa(out, params);

    // Gain reading equal to the gain reference: a gain factor of 1.
    out[778] = ToWord(params.gainEE != 0 ? params.gainEE : 1);
    const double gain = params.gainEE / SignedWord(out[778]);

    // Compensation pixels see the sensor's own temperature: readings that leave
    // only their offsets.
    const int mode = FrameMode(out);
    const double F = (1 + params.cpKta * (ta - 25)) * (1 + params.cpKv * (vdd - 3.3));
    out[776] = ToWord(params.cpOffset[0] * F / gain);
    const double cpOffset1 =
        mode == params.calibrationModeEE ? params.cpOffset[1] : params.cpOffset[1] + params.ilChessC[0];
    out[808] = ToWord(cpOffset1 * F / gain);

    const double tr = ta - 8;
    const TFrameConstants c = FrameConstants(out, params, cond.emissivity, tr, true);

    for (int p = 0; p < kMlxPixels; ++p) {
        const double target = scene[p];
        const double alphaCompensated = AlphaCompensated(params, c, p);
        const double irData = SignalFor(params, c, target, alphaCompensated);

        // The forward steps 1 to 5 read backwards: raw word for that signal.
        double ir = (irData + params.tgc * c.irDataCP[c.subPage]) * cond.emissivity;
        if (c.mode != params.calibrationModeEE)
            ir = ir - params.ilChessC[2] * (2 * IlPattern(p) - 1) + params.ilChessC[1] * ConversionPattern(p);
        ir = ir + params.offset[p] * (1 + params.kta[p] * c.ktaFactor) * (1 + params.kv[p] * c.kvFactor);
        const uint16_t guess = ToWord(ir / c.gain);

        // Of the nearest integers, keep the one whose computed temperature is closest.
        uint16_t best = guess;
        double bestDistance = INFINITY;
        const int centre = static_cast<int16_t>(guess);
        for (int raw = centre - 1; raw <= centre + 1; ++raw) {
            if (raw < -32768 || raw > 32767)
                continue;
            const double signal = PixelSignal(params, c, p, raw, cond.emissivity, true);
            const double distance = Distance(ObjectTemperature(params, c, signal, alphaCompensated), target);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = static_cast<uint16_t>(static_cast<int16_t>(raw));
            }
        }
        out[p] = best;
    }
}

std::vector<uint16_t> TFrameSynthesizer::Render(const double *scene,
                                                const TFrameConditions &conditions) const {
    std::vector<uint16_t> out(kMlxFrameWords);
    Render(scene, conditions, out.data());
    return out;
}

std::vector<uint16_t> SynthesizeFrame(const TParamsMLX90640 &params, const double *scene768, double ta,
                                      double vdd, bool chess, int subpage, double emissivity) {
    TFrameConditions cond;
    cond.ta = ta;
    cond.vdd = vdd;
    cond.chess = chess;
    cond.subpage = subpage;
    cond.emissivity = emissivity;
    return TFrameSynthesizer(params).Render(scene768, cond);
}

std::vector<uint16_t> SynthesizeFrame(const TParamsMLX90640 &params, const double (&scene)[24][32], double ta,
                                      double vdd, bool chess, int subpage, double emissivity) {
    return SynthesizeFrame(params, &scene[0][0], ta, vdd, chess, subpage, emissivity);
}
