#pragma once
// Synthetic MLX90640 data: a calibration-memory encoder, a ready-made realistic
// calibration and a frame synthesiser that renders a scene of object
// temperatures into raw frame memory.
//
// Used by the virtual module (korvale-sim), by pipeline tests and benchmarks.
// Plain C++, no Qt.

#include "sensor/MLX90640_API.h"

#include <cstdint>
#include <vector>

constexpr int kMlxCalibrationWords = 832;  // calibration memory
constexpr int kMlxFrameWords = 834;        // frame memory of one subpage
constexpr int kMlxPixels = 768;
constexpr int kMlxRows = 24;
constexpr int kMlxColumns = 32;

// The quantities the calibration memory stores, as the codes the word map holds.
// Field comments give the bits and the value the extraction derives from them.
// Signed codes are given as their signed values (range in brackets).
struct TCalibrationFields {
    bool interleavedCalibration = false;  // w10 bit 11: 1 interleaved, 0 chess
    bool deviceSelectFlag = false;        // w10 bit 6 (CheckEEPROMValid -> -7)

    int alphaPtatNibble = 0;  // w16 15..12: alphaPTAT = nibble / 4 + 8
    int occRowScale = 0;      // w16 11..8 [0, 15]
    int occColumnScale = 0;   // w16 7..4
    int occRemScale = 0;      // w16 3..0
    int offsetRef = 0;        // w17 [-32768, 32767]
    int occRow[24] = {};      // w18..23 nibbles [-8, 7]
    int occColumn[32] = {};   // w24..31 nibbles [-8, 7]

    int alphaScaleNibble = 0;  // w32 15..12: alpha / 2^(n+30), cp alpha / 2^(n+27)
    int accRowScale = 0;       // w32 11..8
    int accColumnScale = 0;    // w32 7..4
    int accRemScale = 0;       // w32 3..0
    int alphaRef = 0;          // w33 [0, 65535]
    int accRow[24] = {};       // w34..39 nibbles [-8, 7]
    int accColumn[32] = {};    // w40..47 nibbles [-8, 7]

    int gainEE = 0;      // w48 [-32768, 32767]
    int vPTAT25 = 0;     // w49 [0, 65535]
    int kvPtatCode = 0;  // w50 15..10 [-32, 31]: KvPTAT = code / 4096
    int ktPtatCode = 0;  // w50 9..0 [-512, 511]: KtPTAT = code / 8
    int kVddCode = 0;    // w51 15..8 [-128, 127]: kVdd = code * 32
    int vdd25Code = 0;   // w51 7..0 [0, 255]: vdd25 = (code - 256) * 32 - 8192

    int kvRoCo = 0, kvReCo = 0, kvRoCe = 0, kvReCe = 0;  // w52 15..12 / 11..8 / 7..4 / 3..0 [-8, 7]
    int ilChessC0Code = 0;                               // w53 5..0 [-32, 31]: ilChessC[0] = code / 16
    int ilChessC1Code = 0;                               // w53 10..6 [-16, 15]: ilChessC[1] = code / 2
    int ilChessC2Code = 0;                               // w53 15..11 [-16, 15]: ilChessC[2] = code / 8
    int ktaRoCo = 0, ktaReCo = 0;                        // w54 15..8 / 7..0 [-128, 127]
    int ktaRoCe = 0, ktaReCe = 0;                        // w55 15..8 / 7..0 [-128, 127]

    int resolutionEE = 0;   // w56 13..12 [0, 3]
    int kvScale = 0;        // w56 11..8 [0, 15]
    int ktaScale1Code = 0;  // w56 7..4 [0, 15]: ktaScale1 = code + 8
    int ktaScale2 = 0;      // w56 3..0 [0, 15]

    int cpAlphaRatioCode = 0;   // w57 15..10 [-32, 31]: cpAlpha[1] = (1 + code/128) cpAlpha[0]
    int cpAlpha0Code = 0;       // w57 9..0 [-512, 511]: cpAlpha[0] = code / 2^(alphaScaleNibble+27)
    int cpOffsetDeltaCode = 0;  // w58 15..10 [-32, 31]: cpOffset[1] = cpOffset[0] + code
    int cpOffset0Code = 0;      // w58 9..0 [-512, 511]
    int cpKvCode = 0;           // w59 15..8 [-128, 127]: cpKv = code / 2^kvScale
    int cpKtaCode = 0;          // w59 7..0 [-128, 127]: cpKta = code / 2^ktaScale1
    int ksTaCode = 0;           // w60 15..8 [-128, 127]: KsTa = code / 8192
    int tgcCode = 0;            // w60 7..0 [-128, 127]: tgc = code / 32
    int ksToCode[4] = {};       // w61 7..0, 15..8, w62 7..0, 15..8 [-128, 127]
    int stepCode = 0;           // w63 13..12 [0, 3]: step = code * 10
    int ct3Nibble = 0;          // w63 11..8: ct[3] = ct[2] + nibble * step
    int ct2Nibble = 0;          // w63 7..4: ct[2] = nibble * step
    int ksToScaleCode = 0;      // w63 3..0: ksTo = code / 2^(ksToScaleCode + 8)

    // Per pixel (word 64 + p).
    int pixelOffset[768] = {};  // bits 15..10 [-32, 31]
    int pixelAlpha[768] = {};   // bits 9..4 [-32, 31]
    int pixelKta[768] = {};     // bits 3..1 [-4, 3]
    bool outlier[768] = {};     // bit 0
    bool broken[768] = {};      // the whole word 0 (the codes are then ignored)
};

// Encodes the fields into the 832-word calibration memory. Throws
// std::invalid_argument when a code is out of its range, or when a pixel that is
// not broken would encode as the word 0 (which marks a broken pixel).
std::vector<uint16_t> EncodeCalibration(const TCalibrationFields &fields);

// Options of the ready-made realistic calibration.
struct TRealisticCalibrationOptions {
    std::vector<int> brokenPixels;   // pixel numbers to mark broken
    std::vector<int> outlierPixels;  // pixel numbers to mark as outliers
    uint32_t seed = 1;               // per-pixel scatter
};

// Realistic calibration codes: kVdd -3168, vdd25 -13088, KvPTAT ~0.0022,
// KtPTAT 42.25, vPTAT25 12273, alphaPTAT 9, gainEE 5880, KsTa ~ -0.002,
// ksTo ~ -0.0008, ct -40/0/160/320, alphas ~1e-7 with a smooth spatial variation,
// offsets -60..-80, kta ~0.005, kv ~0.4, 18-bit resolution, chess calibration.
TCalibrationFields RealisticCalibrationFields(const TRealisticCalibrationOptions &options = {});
// The same, encoded: 832 words.
std::vector<uint16_t> RealisticCalibration(const TRealisticCalibrationOptions &options = {});

// Conditions of one synthesised frame.
struct TFrameConditions {
    double ta = 25.0;         // ambient (sensor) temperature, °C
    double vdd = 3.3;         // supply voltage, V
    bool chess = true;        // reading pattern (control word bit 12)
    int subpage = 0;          // word 833 (0 or 1)
    double emissivity = 1.0;  // emissivity the scene is to be read back with
    int resolution = -1;      // ADC resolution code of the frame (0..3); -1: the calibration's
    int rateCode = 3;         // refresh-rate code put in control word bits 9..7 (not read back)
};

// Renders scenes into frame memory for one calibration. The raw pixel words of
// the frame's subpage are the integers whose MLX90640_CalculateTo result (at the
// given emissivity, tr = ta - 8 with ta from MLX90640_GetTa of the frame) lies
// nearest the scene temperature. The pixels of the other subpage, which
// MLX90640_CalculateTo skips, are solved the same way as if they belonged to this
// subpage, so every word of the frame follows the scene.
// Cheap to call repeatedly: constants that depend only on the calibration are
// kept in the object.
class TFrameSynthesizer {
public:
    explicit TFrameSynthesizer(const TParamsMLX90640 &params);

    // scene: 768 temperatures (°C), row-major (p = 32 * row + column).
    // out: 834 words.
    void Render(const double *scene, const TFrameConditions &conditions, uint16_t *out) const;
    std::vector<uint16_t> Render(const double *scene, const TFrameConditions &conditions) const;

    const TParamsMLX90640 &Params() const { return fParams; }

private:
    TParamsMLX90640 fParams;  // own copy: callers may change theirs meanwhile
};

// One-shot convenience forms.
std::vector<uint16_t> SynthesizeFrame(const TParamsMLX90640 &params, const double *scene768, double ta,
                                      double vdd, bool chess, int subpage, double emissivity = 1.0);
std::vector<uint16_t> SynthesizeFrame(const TParamsMLX90640 &params, const double (&scene)[24][32], double ta,
                                      double vdd, bool chess, int subpage, double emissivity = 1.0);
