// Calibration memory -> calibration record.
#include "sensor/MLX90640_API.h"
#include "sensor/MLX90640_Bits.h"

#include <cstdint>

using mlx90640_bits::Field;
using mlx90640_bits::Nibble;
using mlx90640_bits::Pow2;
using mlx90640_bits::Signed;

int MLX90640_ExtractParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    // The device-select flag is looked at but does not stop the extraction: the
    // calibration words are valid either way and the caller ignores the status.
    (void)CheckEEPROMValid(eeData);

    ExtractVDDParameters(eeData, params);
    ExtractPTATParameters(eeData, params);
    ExtractGainParameters(eeData, params);
    ExtractTgcParameters(eeData, params);
    ExtractResolutionParameters(eeData, params);
    ExtractKsTaParameters(eeData, params);
    ExtractKsToParameters(eeData, params);
    ExtractAlphaParameters(eeData, params);
    ExtractOffsetParameters(eeData, params);
    ExtractKtaPixelParameters(eeData, params);
    ExtractKvPixelParameters(eeData, params);
    ExtractCPParameters(eeData, params);
    ExtractCILCParameters(eeData, params);
    return ExtractDeviatingPixels(eeData, params);
}

int CheckEEPROMValid(const uint16_t *eeData) {
    return Field(eeData[10], 6, 6) == 1 ? -7 : 0;
}

void ExtractVDDParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    params.kVdd = static_cast<int16_t>(Signed(Field(eeData[51], 15, 8), 8) * 32);
    params.vdd25 = static_cast<int16_t>((Field(eeData[51], 7, 0) - 256) * 32 - 8192);
}

void ExtractPTATParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    params.KvPTAT = Signed(Field(eeData[50], 15, 10), 6) / 4096.0;
    params.KtPTAT = Signed(Field(eeData[50], 9, 0), 10) / 8.0;
    params.vPTAT25 = eeData[49];
    params.alphaPTAT = (eeData[16] & 0xF000) / Pow2(14) + 8;
}

void ExtractGainParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    params.gainEE = static_cast<int16_t>(Signed(eeData[48], 16));
}

void ExtractTgcParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    params.tgc = Signed(Field(eeData[60], 7, 0), 8) / 32.0;
}

void ExtractResolutionParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    params.resolutionEE = static_cast<uint8_t>(Field(eeData[56], 13, 12));
}

void ExtractKsTaParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    params.KsTa = Signed(Field(eeData[60], 15, 8), 8) / 8192.0;
}

void ExtractKsToParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    const int step = Field(eeData[63], 13, 12) * 10;
    params.ct[0] = -40;
    params.ct[1] = 0;
    params.ct[2] = static_cast<int16_t>(Field(eeData[63], 7, 4) * step);
    params.ct[3] = static_cast<int16_t>(params.ct[2] + Field(eeData[63], 11, 8) * step);

    const double ksToScale = Pow2(Field(eeData[63], 3, 0) + 8);
    params.ksTo[0] = Signed(Field(eeData[61], 7, 0), 8) / ksToScale;
    params.ksTo[1] = Signed(Field(eeData[61], 15, 8), 8) / ksToScale;
    params.ksTo[2] = Signed(Field(eeData[62], 7, 0), 8) / ksToScale;
    params.ksTo[3] = Signed(Field(eeData[62], 15, 8), 8) / ksToScale;
}

void ExtractAlphaParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    const int accRemScale = Field(eeData[32], 3, 0);
    const int accColumnScale = Field(eeData[32], 7, 4);
    const int accRowScale = Field(eeData[32], 11, 8);
    const int alphaScale = Field(eeData[32], 15, 12) + 30;
    const int32_t alphaRef = eeData[33];
    const double divisor = Pow2(alphaScale);

    for (int i = 0; i < 24; ++i) {
        const int32_t rowTerm = Nibble(eeData, 34, i) * (int32_t{1} << accRowScale);
        for (int j = 0; j < 32; ++j) {
            const int p = 32 * i + j;
            const int32_t columnTerm = Nibble(eeData, 40, j) * (int32_t{1} << accColumnScale);
            const int32_t own = Signed(Field(eeData[64 + p], 9, 4), 6) * (int32_t{1} << accRemScale);
            const int32_t sum = alphaRef + rowTerm + columnTerm;
            params.alpha[p] = (own + sum) / divisor;
        }
    }
}

void ExtractOffsetParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    const int occRemScale = Field(eeData[16], 3, 0);
    const int occColumnScale = Field(eeData[16], 7, 4);
    const int occRowScale = Field(eeData[16], 11, 8);
    const int32_t offsetRef = Signed(eeData[17], 16);

    for (int i = 0; i < 24; ++i) {
        const int32_t rowTerm = Nibble(eeData, 18, i) * (int32_t{1} << occRowScale);
        for (int j = 0; j < 32; ++j) {
            const int p = 32 * i + j;
            const int32_t columnTerm = Nibble(eeData, 24, j) * (int32_t{1} << occColumnScale);
            const int32_t own = Signed(Field(eeData[64 + p], 15, 10), 6) * (int32_t{1} << occRemScale);
            // Signed 16-bit arithmetic: the exact sum taken modulo 2^16.
            const int32_t sum = own + offsetRef + rowTerm + columnTerm;
            params.offset[p] = static_cast<int16_t>(static_cast<uint16_t>(sum & 0xFFFF));
        }
    }
}

// Entry of the four row/column-parity tables serving pixel p.
static int SplitOf(int p) {
    const int i = p / 32;
    const int j = p % 32;
    return 2 * (i % 2) + (j % 2);
}

void ExtractKtaPixelParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    const int ktaRC[4] = {
        Signed(Field(eeData[54], 15, 8), 8),  // KtaRoCo
        Signed(Field(eeData[55], 15, 8), 8),  // KtaRoCe
        Signed(Field(eeData[54], 7, 0), 8),   // KtaReCo
        Signed(Field(eeData[55], 7, 0), 8),   // KtaReCe
    };
    const int ktaScale1 = Field(eeData[56], 7, 4) + 8;
    const int ktaScale2 = Field(eeData[56], 3, 0);
    const double divisor = Pow2(ktaScale1);

    for (int p = 0; p < 768; ++p) {
        const int own = Signed(Field(eeData[64 + p], 3, 1), 3);
        const int32_t numerator = ktaRC[SplitOf(p)] + own * (int32_t{1} << ktaScale2);
        params.kta[p] = numerator / divisor;
    }
}

void ExtractKvPixelParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    const int kvT[4] = {
        Signed(Field(eeData[52], 15, 12), 4),  // KvRoCo
        Signed(Field(eeData[52], 7, 4), 4),    // KvRoCe
        Signed(Field(eeData[52], 11, 8), 4),   // KvReCo
        Signed(Field(eeData[52], 3, 0), 4),    // KvReCe
    };
    const double divisor = Pow2(Field(eeData[56], 11, 8));

    for (int p = 0; p < 768; ++p)
        params.kv[p] = kvT[SplitOf(p)] / divisor;
}

void ExtractCPParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    const int alphaScale = Field(eeData[32], 15, 12) + 27;

    const int offset0 = Signed(Field(eeData[58], 9, 0), 10);
    const int offset1 = Signed(Field(eeData[58], 15, 10), 6) + offset0;

    const double alpha0 = Signed(Field(eeData[57], 9, 0), 10) / Pow2(alphaScale);
    const double alpha1 = (1 + Signed(Field(eeData[57], 15, 10), 6) / 128.0) * alpha0;

    params.cpKta = Signed(Field(eeData[59], 7, 0), 8) / Pow2(Field(eeData[56], 7, 4) + 8);
    params.cpKv = Signed(Field(eeData[59], 15, 8), 8) / Pow2(Field(eeData[56], 11, 8));

    params.cpAlpha[0] = alpha0;
    params.cpAlpha[1] = alpha1;
    params.cpOffset[0] = static_cast<int16_t>(offset0);
    params.cpOffset[1] = static_cast<int16_t>(offset1);
}

void ExtractCILCParameters(const uint16_t *eeData, TParamsMLX90640 &params) {
    params.calibrationModeEE = static_cast<uint8_t>(((eeData[10] & 0x0800) >> 4) ^ 0x80);
    params.ilChessC[0] = Signed(Field(eeData[53], 5, 0), 6) / 16.0;
    params.ilChessC[1] = Signed(Field(eeData[53], 10, 6), 5) / 2.0;
    params.ilChessC[2] = Signed(Field(eeData[53], 15, 11), 5) / 8.0;
}

int ExtractDeviatingPixels(const uint16_t *eeData, TParamsMLX90640 &params) {
    for (int k = 0; k < 5; ++k) {
        params.brokenPixels[k] = 0xFFFF;
        params.outlierPixels[k] = 0xFFFF;
    }

    int brokenCount = 0;
    int outlierCount = 0;
    for (int p = 0; p < 768 && brokenCount < 5 && outlierCount < 5; ++p) {
        const uint16_t word = eeData[64 + p];
        if (word == 0)
            params.brokenPixels[brokenCount++] = static_cast<uint16_t>(p);
        else if ((word & 0x0001) != 0)
            params.outlierPixels[outlierCount++] = static_cast<uint16_t>(p);
    }

    if (brokenCount == 5)
        return -3;
    if (outlierCount == 5)
        return -4;
    if (brokenCount + outlierCount > 4)
        return -5;

    for (int a = 0; a < brokenCount; ++a)
        for (int b = a + 1; b < brokenCount; ++b) {
            const int warn = CheckAdjacentPixels(params.brokenPixels[a], params.brokenPixels[b]);
            if (warn != 0)
                return warn;
        }
    for (int a = 0; a < outlierCount; ++a)
        for (int b = a + 1; b < outlierCount; ++b) {
            const int warn = CheckAdjacentPixels(params.outlierPixels[a], params.outlierPixels[b]);
            if (warn != 0)
                return warn;
        }
    for (int a = 0; a < brokenCount; ++a)
        for (int b = 0; b < outlierCount; ++b) {
            const int warn = CheckAdjacentPixels(params.brokenPixels[a], params.outlierPixels[b]);
            if (warn != 0)
                return warn;
        }
    return 0;
}

int CheckAdjacentPixels(int pix1, int pix2) {
    const int d = pix1 - pix2;
    if ((-34 < d && d < -30) || (-2 < d && d < 2) || (30 < d && d < 34))
        return -6;
    return 0;
}
