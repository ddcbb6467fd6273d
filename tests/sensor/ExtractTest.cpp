// Calibration memory -> record: word-map examples, defective-pixel status and the
// encoder round trip.
#include "sensor/MLX90640_API.h"
#include "sim/SyntheticSensor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<uint16_t> Zeros() {
    return std::vector<uint16_t>(833, 0);
}

// A memory in which every pixel word is valid (not broken, no outlier).
std::vector<uint16_t> CleanMemory() {
    std::vector<uint16_t> w = Zeros();
    for (int p = 0; p < 768; ++p)
        w[64 + p] = 0x0010;  // alpha code 1
    return w;
}

bool AllBytesZeroExceptLists(const TParamsMLX90640 &r) {
    TParamsMLX90640 copy = r;
    std::memset(copy.brokenPixels, 0, sizeof copy.brokenPixels);
    std::memset(copy.outlierPixels, 0, sizeof copy.outlierPixels);
    copy.vdd25 = 0;
    copy.alphaPTAT = 0;
    copy.ct[0] = 0;
    copy.calibrationModeEE = 0;
    TParamsMLX90640 zero;
    std::memset(&zero, 0, sizeof zero);
    // Padding bytes of a copied struct are not guaranteed; compare field groups.
    return copy.kVdd == 0 && copy.KvPTAT == 0 && copy.KtPTAT == 0 && copy.vPTAT25 == 0 && copy.gainEE == 0 &&
           copy.tgc == 0 && copy.cpKv == 0 && copy.cpKta == 0 && copy.resolutionEE == 0 && copy.KsTa == 0 &&
           std::memcmp(copy.ksTo, zero.ksTo, sizeof zero.ksTo) == 0 &&
           std::memcmp(copy.alpha, zero.alpha, sizeof zero.alpha) == 0 &&
           std::memcmp(copy.offset, zero.offset, sizeof zero.offset) == 0 &&
           std::memcmp(copy.kta, zero.kta, sizeof zero.kta) == 0 &&
           std::memcmp(copy.kv, zero.kv, sizeof zero.kv) == 0 &&
           std::memcmp(copy.cpAlpha, zero.cpAlpha, sizeof zero.cpAlpha) == 0 &&
           std::memcmp(copy.cpOffset, zero.cpOffset, sizeof zero.cpOffset) == 0 &&
           std::memcmp(copy.ilChessC, zero.ilChessC, sizeof zero.ilChessC) == 0;
}

TEST(Extraction, AllZeroMemory) {
    TParamsMLX90640 r;
    std::memset(&r, 0x5A, sizeof r);  // every field must be written
    const std::vector<uint16_t> w = Zeros();
    EXPECT_EQ(MLX90640_ExtractParameters(w.data(), r), -3);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(r.brokenPixels[k], k);
        EXPECT_EQ(r.outlierPixels[k], 0xFFFF);
    }
    EXPECT_EQ(r.vdd25, -16384);
    EXPECT_EQ(r.alphaPTAT, 8.0);
    EXPECT_EQ(r.ct[0], -40);
    EXPECT_EQ(r.ct[1], 0);
    EXPECT_EQ(r.ct[2], 0);
    EXPECT_EQ(r.ct[3], 0);
    EXPECT_EQ(r.calibrationModeEE, 0x80);
    EXPECT_TRUE(AllBytesZeroExceptLists(r));
}

TEST(Extraction, SupplyWordExamples) {
    TParamsMLX90640 r{};
    std::vector<uint16_t> w = CleanMemory();
    w[51] = 0x80FF;
    ExtractVDDParameters(w.data(), r);
    EXPECT_EQ(r.kVdd, -4096);
    EXPECT_EQ(r.vdd25, -8224);
    w[51] = 0x7F00;
    ExtractVDDParameters(w.data(), r);
    EXPECT_EQ(r.kVdd, 4064);
    EXPECT_EQ(r.vdd25, -16384);
}

TEST(Extraction, TemperatureRangesFromWord63) {
    TParamsMLX90640 r{};
    std::vector<uint16_t> w = CleanMemory();
    w[63] = 0x2353;
    w[61] = 0x7F80;  // ksTo[1] = 127, ksTo[0] = -128
    w[62] = 0x01FF;  // ksTo[3] = 1, ksTo[2] = -1
    ExtractKsToParameters(w.data(), r);
    EXPECT_EQ(r.ct[0], -40);
    EXPECT_EQ(r.ct[1], 0);
    EXPECT_EQ(r.ct[2], 100);
    EXPECT_EQ(r.ct[3], 160);
    EXPECT_EQ(r.ksTo[0], -128.0 / 2048);
    EXPECT_EQ(r.ksTo[1], 127.0 / 2048);
    EXPECT_EQ(r.ksTo[2], -1.0 / 2048);
    EXPECT_EQ(r.ksTo[3], 1.0 / 2048);
}

TEST(Extraction, PixelSplitTablesForKtaAndKv) {
    std::vector<uint16_t> w = CleanMemory();
    w[54] = 0x0A0C;  // KtaRoCo 10, KtaReCo 12
    w[55] = 0x0BF6;  // KtaRoCe 11, KtaReCe -10
    w[52] = 0x1234;  // KvRoCo 1, KvReCo 2, KvRoCe 3, KvReCe 4
    w[56] = 0x0100;  // kvScale 1, ktaScale1 8, ktaScale2 0
    TParamsMLX90640 r{};
    MLX90640_ExtractParameters(w.data(), r);
    EXPECT_EQ(r.kta[0], 10 / 256.0);
    EXPECT_EQ(r.kta[1], 11 / 256.0);
    EXPECT_EQ(r.kta[32], 12 / 256.0);
    EXPECT_EQ(r.kta[33], -10 / 256.0);
    EXPECT_EQ(r.kv[0], 1 / 2.0);
    EXPECT_EQ(r.kv[1], 3 / 2.0);
    EXPECT_EQ(r.kv[32], 2 / 2.0);
    EXPECT_EQ(r.kv[33], 4 / 2.0);
    // The pattern repeats over the whole array.
    EXPECT_EQ(r.kta[767], r.kta[33]);
    EXPECT_EQ(r.kv[766], r.kv[32]);
}

TEST(Extraction, OffsetWrapsInSixteenBits) {
    std::vector<uint16_t> w = CleanMemory();
    w[17] = 0x7FFF;  // offsetRef 32767
    w[16] = 0x0000;
    w[64 + 5] = 0x0410 | 0x0000;  // pixel offset code +1
    TParamsMLX90640 r{};
    ExtractOffsetParameters(w.data(), r);
    EXPECT_EQ(r.offset[5], -32768);
    EXPECT_EQ(r.offset[4], 32767);
}

TEST(Extraction, ChessModeFlagAndDeviceSelect) {
    std::vector<uint16_t> w = CleanMemory();
    TParamsMLX90640 r{};
    w[10] = 0x0800;
    ExtractCILCParameters(w.data(), r);
    EXPECT_EQ(r.calibrationModeEE, 0);
    EXPECT_EQ(CheckEEPROMValid(w.data()), 0);
    w[10] = 0x0040;
    ExtractCILCParameters(w.data(), r);
    EXPECT_EQ(r.calibrationModeEE, 0x80);
    EXPECT_EQ(CheckEEPROMValid(w.data()), -7);
    // The flag neither stops the extraction nor reaches its status.
    w[51] = 0x80FF;
    EXPECT_EQ(MLX90640_ExtractParameters(w.data(), r), 0);
    EXPECT_EQ(r.kVdd, -4096);
}

TEST(Extraction, AdjacencyRule) {
    for (int d : {0, 1, -1, 31, 32, 33, -31, -32, -33})
        EXPECT_EQ(CheckAdjacentPixels(100 + d, 100), -6) << d;
    for (int d : {2, -2, 30, -30, 34, -34, 64})
        EXPECT_EQ(CheckAdjacentPixels(100 + d, 100), 0) << d;
    EXPECT_EQ(CheckAdjacentPixels(31, 32), -6);  // end of one row, start of the next
}

int Deviating(const std::vector<int> &broken, const std::vector<int> &outliers, TParamsMLX90640 &r) {
    std::vector<uint16_t> w = CleanMemory();
    for (int p : broken)
        w[64 + p] = 0;
    for (int p : outliers)
        w[64 + p] |= 1;
    return MLX90640_ExtractParameters(w.data(), r);
}

TEST(Extraction, DeviatingPixelStatus) {
    TParamsMLX90640 r{};
    EXPECT_EQ(Deviating({100, 132}, {}, r), -6);
    EXPECT_EQ(Deviating({100}, {166}, r), 0);
    EXPECT_EQ(Deviating({31}, {32}, r), -6);
    EXPECT_EQ(Deviating({}, {10, 43}, r), -6);  // two outliers diagonal
    EXPECT_EQ(Deviating({}, {}, r), 0);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(r.brokenPixels[k], 0xFFFF);
        EXPECT_EQ(r.outlierPixels[k], 0xFFFF);
    }

    EXPECT_EQ(Deviating({10, 200, 400}, {600, 700}, r), -5);
    const uint16_t broken[5] = {10, 200, 400, 0xFFFF, 0xFFFF};
    const uint16_t outliers[5] = {600, 700, 0xFFFF, 0xFFFF, 0xFFFF};
    EXPECT_EQ(0, std::memcmp(r.brokenPixels, broken, sizeof broken));
    EXPECT_EQ(0, std::memcmp(r.outlierPixels, outliers, sizeof outliers));

    // Five outliers stop the scan; later broken pixels are not listed.
    EXPECT_EQ(Deviating({700}, {10, 100, 200, 300, 400, 500}, r), -4);
    const uint16_t fiveOutliers[5] = {10, 100, 200, 300, 400};
    EXPECT_EQ(0, std::memcmp(r.outlierPixels, fiveOutliers, sizeof fiveOutliers));
    EXPECT_EQ(r.brokenPixels[0], 0xFFFF);

    // Five broken pixels win over five outliers found in the same scan.
    EXPECT_EQ(Deviating({1, 3, 5, 7, 9}, {2, 4, 6, 8}, r), -3);
}

TEST(Extraction, SecondExtractionLeavesNoTrace) {
    TParamsMLX90640 first{};
    TParamsMLX90640 r{};
    std::vector<uint16_t> a = RealisticCalibration({{5, 300}, {100, 500}, 7});
    std::vector<uint16_t> b = RealisticCalibration({{}, {}, 8});
    MLX90640_ExtractParameters(b.data(), first);
    MLX90640_ExtractParameters(a.data(), r);
    EXPECT_EQ(r.brokenPixels[0], 5);
    EXPECT_EQ(r.outlierPixels[1], 500);
    EXPECT_EQ(MLX90640_ExtractParameters(b.data(), r), 0);
    EXPECT_EQ(r.brokenPixels[0], 0xFFFF);
    EXPECT_EQ(r.outlierPixels[0], 0xFFFF);
    EXPECT_EQ(0, std::memcmp(r.alpha, first.alpha, sizeof r.alpha));
    EXPECT_EQ(0, std::memcmp(r.offset, first.offset, sizeof r.offset));
    EXPECT_EQ(0, std::memcmp(r.kta, first.kta, sizeof r.kta));
}

TEST(Extraction, GlobalRecordStartsZero) {
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(&myParamsMLX90640);
    for (size_t i = 0; i < sizeof myParamsMLX90640; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
}

// ---- Encoder round trip ----------------------------------------------------

TCalibrationFields RandomFields(uint32_t seed) {
    std::mt19937 rng(seed);
    auto u = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    TCalibrationFields f;
    f.interleavedCalibration = u(0, 1);
    f.deviceSelectFlag = u(0, 1);
    f.alphaPtatNibble = u(0, 15);
    f.occRowScale = u(0, 15);
    f.occColumnScale = u(0, 15);
    f.occRemScale = u(0, 15);
    f.offsetRef = u(-32768, 32767);
    for (int &v : f.occRow)
        v = u(-8, 7);
    for (int &v : f.occColumn)
        v = u(-8, 7);
    f.alphaScaleNibble = u(0, 15);
    f.accRowScale = u(0, 15);
    f.accColumnScale = u(0, 15);
    f.accRemScale = u(0, 15);
    f.alphaRef = u(0, 65535);
    for (int &v : f.accRow)
        v = u(-8, 7);
    for (int &v : f.accColumn)
        v = u(-8, 7);
    f.gainEE = u(-32768, 32767);
    f.vPTAT25 = u(0, 65535);
    f.kvPtatCode = u(-32, 31);
    f.ktPtatCode = u(-512, 511);
    f.kVddCode = u(-128, 127);
    f.vdd25Code = u(0, 255);
    f.kvRoCo = u(-8, 7);
    f.kvReCo = u(-8, 7);
    f.kvRoCe = u(-8, 7);
    f.kvReCe = u(-8, 7);
    f.ilChessC0Code = u(-32, 31);
    f.ilChessC1Code = u(-16, 15);
    f.ilChessC2Code = u(-16, 15);
    f.ktaRoCo = u(-128, 127);
    f.ktaReCo = u(-128, 127);
    f.ktaRoCe = u(-128, 127);
    f.ktaReCe = u(-128, 127);
    f.resolutionEE = u(0, 3);
    f.kvScale = u(0, 15);
    f.ktaScale1Code = u(0, 15);
    f.ktaScale2 = u(0, 15);
    f.cpAlphaRatioCode = u(-32, 31);
    f.cpAlpha0Code = u(-512, 511);
    f.cpOffsetDeltaCode = u(-32, 31);
    f.cpOffset0Code = u(-512, 511);
    f.cpKvCode = u(-128, 127);
    f.cpKtaCode = u(-128, 127);
    f.ksTaCode = u(-128, 127);
    f.tgcCode = u(-128, 127);
    for (int &v : f.ksToCode)
        v = u(-128, 127);
    f.stepCode = u(0, 3);
    f.ct3Nibble = u(0, 15);
    f.ct2Nibble = u(0, 15);
    f.ksToScaleCode = u(0, 15);
    for (int p = 0; p < 768; ++p) {
        f.pixelOffset[p] = u(-32, 31);
        f.pixelAlpha[p] = u(-32, 31);
        f.pixelKta[p] = u(-4, 3);
        if (f.pixelOffset[p] == 0 && f.pixelAlpha[p] == 0 && f.pixelKta[p] == 0)
            f.pixelKta[p] = -1;
    }
    // A few defective pixels far apart (at most four in all).
    f.broken[u(0, 150)] = true;
    f.outlier[u(300, 450)] = true;
    f.outlier[u(600, 767)] = true;
    return f;
}

TEST(EncoderRoundTrip, RandomFieldsComeBackAsTheirValues) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        const TCalibrationFields f = RandomFields(seed);
        const std::vector<uint16_t> w = EncodeCalibration(f);
        ASSERT_EQ(w.size(), 832u);
        TParamsMLX90640 r{};
        EXPECT_EQ(MLX90640_ExtractParameters(w.data(), r), 0);
        EXPECT_EQ(CheckEEPROMValid(w.data()), f.deviceSelectFlag ? -7 : 0);

        EXPECT_EQ(r.kVdd, f.kVddCode * 32);
        EXPECT_EQ(r.vdd25, (f.vdd25Code - 256) * 32 - 8192);
        EXPECT_EQ(r.KvPTAT, f.kvPtatCode / 4096.0);
        EXPECT_EQ(r.KtPTAT, f.ktPtatCode / 8.0);
        EXPECT_EQ(r.vPTAT25, f.vPTAT25);
        EXPECT_EQ(r.alphaPTAT, f.alphaPtatNibble / 4.0 + 8);
        EXPECT_EQ(r.gainEE, f.gainEE);
        EXPECT_EQ(r.tgc, f.tgcCode / 32.0);
        EXPECT_EQ(r.KsTa, f.ksTaCode / 8192.0);
        EXPECT_EQ(r.resolutionEE, f.resolutionEE);
        EXPECT_EQ(r.calibrationModeEE, f.interleavedCalibration ? 0 : 0x80);
        const double ksToScale = std::ldexp(1.0, f.ksToScaleCode + 8);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(r.ksTo[k], f.ksToCode[k] / ksToScale);
        EXPECT_EQ(r.ct[2], f.ct2Nibble * f.stepCode * 10);
        EXPECT_EQ(r.ct[3], (f.ct2Nibble + f.ct3Nibble) * f.stepCode * 10);
        EXPECT_EQ(r.cpKv, f.cpKvCode / std::ldexp(1.0, f.kvScale));
        EXPECT_EQ(r.cpKta, f.cpKtaCode / std::ldexp(1.0, f.ktaScale1Code + 8));
        const double cpAlpha0 = f.cpAlpha0Code / std::ldexp(1.0, f.alphaScaleNibble + 27);
        EXPECT_EQ(r.cpAlpha[0], cpAlpha0);
        EXPECT_EQ(r.cpAlpha[1], (1 + f.cpAlphaRatioCode / 128.0) * cpAlpha0);
        EXPECT_EQ(r.cpOffset[0], f.cpOffset0Code);
        EXPECT_EQ(r.cpOffset[1], f.cpOffset0Code + f.cpOffsetDeltaCode);
        EXPECT_EQ(r.ilChessC[0], f.ilChessC0Code / 16.0);
        EXPECT_EQ(r.ilChessC[1], f.ilChessC1Code / 2.0);
        EXPECT_EQ(r.ilChessC[2], f.ilChessC2Code / 8.0);

        const int ktaRC[4] = {f.ktaRoCo, f.ktaRoCe, f.ktaReCo, f.ktaReCe};
        const int kvT[4] = {f.kvRoCo, f.kvRoCe, f.kvReCo, f.kvReCe};
        int listedBroken = 0, listedOutliers = 0;
        for (int p = 0; p < 768; ++p) {
            const int i = p / 32, j = p % 32, split = 2 * (i % 2) + j % 2;
            const int po = f.broken[p] ? 0 : f.pixelOffset[p];
            const int pa = f.broken[p] ? 0 : f.pixelAlpha[p];
            const int pk = f.broken[p] ? 0 : f.pixelKta[p];
            const long alphaNum = pa * (1L << f.accRemScale) + f.alphaRef +
                                  f.accRow[i] * (1L << f.accRowScale) +
                                  f.accColumn[j] * (1L << f.accColumnScale);
            ASSERT_EQ(r.alpha[p], alphaNum / std::ldexp(1.0, f.alphaScaleNibble + 30)) << p;
            const long offsetSum = po * (1L << f.occRemScale) + f.offsetRef +
                                   f.occRow[i] * (1L << f.occRowScale) +
                                   f.occColumn[j] * (1L << f.occColumnScale);
            ASSERT_EQ(r.offset[p], static_cast<int16_t>(static_cast<uint16_t>(offsetSum & 0xFFFF))) << p;
            ASSERT_EQ(r.kta[p],
                      (ktaRC[split] + pk * (1L << f.ktaScale2)) / std::ldexp(1.0, f.ktaScale1Code + 8))
                << p;
            ASSERT_EQ(r.kv[p], kvT[split] / std::ldexp(1.0, f.kvScale)) << p;
            if (f.broken[p]) {
                EXPECT_EQ(r.brokenPixels[listedBroken++], p);
            }
            if (f.outlier[p] && !f.broken[p]) {
                EXPECT_EQ(r.outlierPixels[listedOutliers++], p);
            }
        }
        EXPECT_EQ(listedBroken, 1);
        EXPECT_EQ(listedOutliers, 2);
    }
}

TEST(EncoderRoundTrip, RejectsCodesOutOfRangeAndAmbiguousPixels) {
    TCalibrationFields f = RealisticCalibrationFields();
    f.kvRoCo = 8;
    EXPECT_THROW(EncodeCalibration(f), std::invalid_argument);
    f = RealisticCalibrationFields();
    f.alphaRef = -1;
    EXPECT_THROW(EncodeCalibration(f), std::invalid_argument);
    f = RealisticCalibrationFields();
    f.pixelOffset[7] = f.pixelAlpha[7] = f.pixelKta[7] = 0;
    EXPECT_THROW(EncodeCalibration(f), std::invalid_argument);
    f.broken[7] = true;  // now it is meant to be 0
    EXPECT_EQ(EncodeCalibration(f)[64 + 7], 0);
}

TEST(RealisticCalibration, HasTheMagnitudesOfARealSensor) {
    const std::vector<uint16_t> w = RealisticCalibration({{200}, {400}, 3});
    TParamsMLX90640 r{};
    EXPECT_EQ(MLX90640_ExtractParameters(w.data(), r), 0);
    EXPECT_EQ(r.kVdd, -3168);
    EXPECT_EQ(r.vdd25, -13088);
    EXPECT_NEAR(r.KvPTAT, 0.0022, 0.0001);
    EXPECT_EQ(r.KtPTAT, 42.25);
    EXPECT_EQ(r.vPTAT25, 12273);
    EXPECT_EQ(r.alphaPTAT, 9);
    EXPECT_EQ(r.gainEE, 5880);
    EXPECT_NEAR(r.KsTa, -0.002, 0.0002);
    for (double k : r.ksTo)
        EXPECT_NEAR(k, -0.0008, 0.0001);
    EXPECT_EQ(r.ct[0], -40);
    EXPECT_EQ(r.ct[1], 0);
    EXPECT_EQ(r.ct[2], 160);
    EXPECT_EQ(r.ct[3], 320);
    EXPECT_EQ(r.calibrationModeEE, 0x80);
    EXPECT_EQ(r.resolutionEE, 2);
    EXPECT_EQ(r.brokenPixels[0], 200);
    EXPECT_EQ(r.outlierPixels[0], 400);
    double minAlpha = 1, maxAlpha = 0;
    for (int p = 0; p < 768; ++p) {
        minAlpha = std::min(minAlpha, r.alpha[p]);
        maxAlpha = std::max(maxAlpha, r.alpha[p]);
        EXPECT_GE(r.offset[p], -80);
        EXPECT_LE(r.offset[p], -60);
        EXPECT_NEAR(r.kta[p], 0.005, 0.001);
        EXPECT_NEAR(r.kv[p], 0.4, 0.05);
    }
    EXPECT_GT(minAlpha, 5e-8);
    EXPECT_LT(maxAlpha, 2e-7);
    EXPECT_GT(maxAlpha - minAlpha, 0.02 * maxAlpha);  // visible spatial variation
    // Smooth: neighbouring pixels differ far less than the whole spread.
    EXPECT_LT(std::fabs(r.alpha[32 * 12 + 16] - r.alpha[32 * 12 + 17]), 0.5 * (maxAlpha - minAlpha));
}

}  // namespace
