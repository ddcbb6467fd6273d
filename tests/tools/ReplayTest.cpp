// korvale-replay's parts: option parsing, display settings, capture splitting and
// the replay session over synthesised frames.

#include "link/LinkTestSupport.h"
#include "pipeline/PipelineBuffers.h"
#include "replay/ReplayOptions.h"
#include "replay/ReplaySession.h"
#include "replay/ReplaySplit.h"
#include "replay/ReplayWriters.h"
#include "sim/SyntheticSensor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TParseResult Parse(std::vector<std::string> args, TReplayOptions &o, std::string *error = nullptr) {
    return ParseReplayOptions(args, o, error);
}

void Append(TBytes &to, const TBytes &from) {
    to.insert(to.end(), from.begin(), from.end());
}

}  // namespace

TEST(ReplayOptions, DefaultsAreTheWindowStartUpValues) {
    TReplayOptions o;
    ASSERT_EQ(Parse({"capture.bin"}, o), TParseResult::Run);
    EXPECT_EQ(o.input, "capture.bin");
    EXPECT_TRUE(o.mirror);
    EXPECT_DOUBLE_EQ(o.emissivity, 0.95);
    EXPECT_EQ(o.interpFirst, 0);
    EXPECT_EQ(o.interpSecond, 0);
    EXPECT_FALSE(o.filter);
    EXPECT_EQ(o.filterPixsCount, 9);
    EXPECT_EQ(o.palette, 1);
    EXPECT_FALSE(o.autoRange);
    EXPECT_DOUBLE_EQ(o.lowerLimit, 0.0);
    EXPECT_DOUBLE_EQ(o.upperLimit, 35.0);
    EXPECT_TRUE(o.correction);
    EXPECT_FALSE(o.slugg);
    EXPECT_FALSE(o.image);

    TMLX90640 object;
    ApplyDisplayOptions(o, object);
    EXPECT_EQ(object.GetPixsType(), PXT_Temp);
    EXPECT_TRUE(object.GetMirror_LR());
    EXPECT_EQ(object.GetInterMethodFirst(), IM_Poly1);
    EXPECT_EQ(object.GetInterMethodSecond(), IM_Poly1);
    EXPECT_FALSE(object.GetTemperature_UpLowAuto());
    EXPECT_EQ(object.GetTempToColorConverMeth(), CM_GrayColor);
    EXPECT_EQ(object.GetGrayColor_SubMeth(), GCM_Pseudo2);
    EXPECT_EQ(object.GetFilterPixsCount(), 9);
    EXPECT_DOUBLE_EQ(object.GetEmissivity(), 0.95);
}

TEST(ReplayOptions, EveryOptionInBothSpellings) {
    TReplayOptions o;
    ASSERT_EQ(Parse({"--mirror",
                     "0",
                     "--emissivity=0.5",
                     "--interp",
                     "2,1",
                     "--filter=2,6,0.75",
                     "--palette",
                     "11",
                     "--range",
                     "-5.5,40",
                     "--correction=0",
                     "--slugg",
                     "1",
                     "--temps",
                     "t",
                     "--picture-temps=p",
                     "--ppm",
                     "m",
                     "--jpeg",
                     "j",
                     "--header",
                     "-"},
                    o),
              TParseResult::Run);
    EXPECT_EQ(o.input, "-");
    EXPECT_FALSE(o.mirror);
    EXPECT_DOUBLE_EQ(o.emissivity, 0.5);
    EXPECT_TRUE(o.filter);
    EXPECT_EQ(o.filterMethod, 2);
    EXPECT_EQ(o.filterPixsCount, 7);  // even sizes are raised by one, as in the window
    EXPECT_DOUBLE_EQ(o.gaussSigma, 0.75);
    EXPECT_DOUBLE_EQ(o.lowerLimit, -5.5);
    EXPECT_TRUE(o.rangeGiven);
    EXPECT_FALSE(o.autoRange);
    EXPECT_FALSE(o.correction);
    EXPECT_TRUE(o.slugg);
    EXPECT_TRUE(o.header);
    EXPECT_EQ(o.tempsDir + o.pictureTempsDir + o.ppmDir + o.jpegDir, "tpmj");

    TMLX90640 object;
    ApplyDisplayOptions(o, object);
    EXPECT_EQ(object.GetInterMethodFirst(), IM_Poly3);
    EXPECT_EQ(object.GetInterMethodSecond(), IM_Poly2);
    EXPECT_EQ(object.GetTempToColorConverMeth(), CM_ContinuColor);
    EXPECT_EQ(object.GetGrayColor_SubMeth(), GCM_Pseudo2);
    EXPECT_EQ(GrayToContinuColor_ClassNum.load(), 2);
    EXPECT_DOUBLE_EQ(object.GetTemperature_LowerLimit(), -5.5);
    EXPECT_FALSE(object.GetBrokenPixsCorr());
    EXPECT_TRUE(object.GetSlugg());
    GrayToContinuColor_ClassNum.store(1);

    TReplayOptions g;
    ASSERT_EQ(Parse({"--palette", "9", "--auto", "x"}, g), TParseResult::Run);
    ApplyDisplayOptions(g, object);
    EXPECT_EQ(object.GetTempToColorConverMeth(), CM_GrayColor);
    EXPECT_EQ(object.GetGrayColor_SubMeth(), GCM_Gray);
    EXPECT_TRUE(object.GetTemperature_UpLowAuto());

    // The image mode turns the automatic range on, as the window's selector does,
    // unless a range is given.
    TReplayOptions i;
    ASSERT_EQ(Parse({"--image", "x"}, i), TParseResult::Run);
    EXPECT_TRUE(i.autoRange);
    TReplayOptions r;
    ASSERT_EQ(Parse({"--image", "--range", "1,2", "x"}, r), TParseResult::Run);
    EXPECT_FALSE(r.autoRange);

    TReplayOptions h;
    EXPECT_EQ(Parse({"--help"}, h), TParseResult::Help);
}

TEST(ReplayOptions, BadArgumentsAreNamedInTheMessage) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no capture"},
        {{"a", "b"}, "\"b\""},
        {{"--mirror", "2", "x"}, "--mirror 2"},
        {{"--emissivity", "0", "x"}, "--emissivity 0"},
        {{"--emissivity", "1.5", "x"}, "--emissivity 1.5"},
        {{"--emissivity", "0.9x", "x"}, "--emissivity 0.9x"},
        {{"--emissivity", "nan", "x"}, "--emissivity nan"},
        {{"--interp", "3,0", "x"}, "--interp 3,0"},
        {{"--interp", "1", "x"}, "--interp 1"},
        {{"--filter", "1,5", "x"}, "--filter 1,5"},
        {{"--filter", "3,5,1", "x"}, "--filter 3,5,1"},
        {{"--filter", "0,5,0", "x"}, "--filter 0,5,0"},
        {{"--filter", "0,0,1", "x"}, "--filter 0,0,1"},
        {{"--palette", "13", "x"}, "--palette 13"},
        {{"--palette", "-1", "x"}, "--palette -1"},
        {{"--range", "40,5", "x"}, "--range 40,5"},
        {{"--range", "1,2,3", "x"}, "--range 1,2,3"},
        {{"--range", "1,2", "--auto", "x"}, "exclude"},
        {{"--slugg", "x"}, "--slugg x"},
        {{"--auto=1", "x"}, "--auto takes no value"},
        {{"--temps"}, "--temps needs a value"},
        {{"--temps=", "x"}, "--temps needs a folder"},
        {{"--colour", "1", "x"}, "unknown option --colour"},
    };
    for (const auto &[args, expected] : cases) {
        TReplayOptions o;
        std::string error;
        EXPECT_EQ(Parse(args, o, &error), TParseResult::Error) << expected;
        EXPECT_NE(error.find(expected), std::string::npos) << "message: " << error;
    }
}

TEST(ReplaySplit, OneChunkPerFrameEvenWithMLXInsideTheWords) {
    TUINT16s ram = RamWords(1, 0);
    ram[10] = 0x4D4C;  // "ML" ...
    ram[11] = 0x5846;  // "XF": an "MLX" inside the frame's words
    TBytes capture = {'T', 'Y', 'P', 'E', '\r', '\n'};
    const TBytes eem = EemFrame(PatternWords(832, 0x4D4C));  // words full of "ML"
    Append(capture, eem);
    const TBytes frm = FrmFrame(ram);
    Append(capture, frm);
    const TBytes odd = {'M', 'L', 'X', 0, 'Z', 'Z', 'Z', 1, 2};
    Append(capture, odd);
    Append(capture, {'M', 'L', 'X'});
    const auto chunks = SplitCapture(capture.data(), capture.size());
    ASSERT_EQ(chunks.size(), 5u);
    EXPECT_EQ(chunks[0].offset, 0u);
    EXPECT_EQ(chunks[0].length, 6u);
    EXPECT_EQ(chunks[1].length, eem.size());
    EXPECT_EQ(chunks[2].length, frm.size());
    EXPECT_EQ(chunks[3].length, odd.size());
    EXPECT_EQ(chunks[4].length, 3u);
    EXPECT_EQ(chunks[4].offset + chunks[4].length, capture.size());

    EXPECT_TRUE(SplitCapture(capture.data(), 0).empty());
    const auto junk = SplitCapture(capture.data(), 4);
    ASSERT_EQ(junk.size(), 1u);
    EXPECT_EQ(junk[0].length, 4u);
}

TEST(ReplaySession, SynthesisedFramesComeBackAsTheirTemperatures) {
    const TUINT16s eeprom = RealisticCalibration();
    TParamsMLX90640 params{};
    MLX90640_ExtractParameters(eeprom.data(), params);
    const TFrameSynthesizer synth(params);
    double scene[768];
    for (int p = 0; p < 768; ++p)
        scene[p] = 20.0 + 0.05 * p;  // 20 .. 58.35 °C along the pixel numbers

    TBytes capture = EemFrame(eeprom);
    Append(capture, SysFrame(SysBlock(3000, 0, 0, 0, 0)));
    const char *types[] = {"FRM", "FRM", "FR0", "FR1", "PHT"};
    for (int n = 0; n < 5; ++n) {
        TFrameConditions c;
        c.subpage = n % 2;
        c.emissivity = 1.0;
        const TUINT16s words = synth.Render(scene, c);
        if (n < 2) {
            Append(capture, FrmFrame(words));
        } else if (n < 4) {
            TUINT16s pixels, aux(words.begin() + 768, words.begin() + 834);
            for (int p = 0; p < 768; ++p)
                if (((p / 32) + (p % 32)) % 2 == c.subpage)
                    pixels.push_back(words[p]);
            Append(capture, HalfFrame(types[n], pixels, aux));
        } else {
            Append(capture, PhtFrame(words));
        }
    }

    TReplayOptions o;
    ASSERT_EQ(ParseReplayOptions({"--emissivity", "1", "x"}, o, nullptr), TParseResult::Run);
    TReplaySession session(o);
    std::vector<TReplayFrame> frames;
    for (const TChunkSpan &c : SplitCapture(capture.data(), capture.size()))
        session.Feed(capture.data() + c.offset, c.length, frames);
    EXPECT_EQ(session.Abandoned(), 0);
    EXPECT_TRUE(session.Intake().CalibrationReceived());
    ASSERT_EQ(frames.size(), 5u);
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(frames[n].index, n);
        EXPECT_STREQ(FrameTypeName(frames[n].type), types[n]);
        EXPECT_EQ(frames[n].published->Subpage, n % 2);
        EXPECT_NEAR(frames[n].published->Vdd, 3.3, 0.01);
        EXPECT_NEAR(frames[n].published->Ta, 25.0, 0.05);
    }
    // From the second frame on both subpages are fresh; the display is mirrored.
    for (int n = 1; n < 5; ++n) {
        const TPixels &grid = frames[n].published->Pixs_Origin;
        double worst = 0;
        for (int p = 0; p < 768; ++p)
            worst = std::max(worst, std::fabs(grid[31 - p % 32][p / 32].Temperature - scene[p]));
        EXPECT_LT(worst, 0.1) << "frame " << n;
    }
    EXPECT_EQ(CsvLine(frames[2]).substr(0, 8), "2,FR0,0,");
}
