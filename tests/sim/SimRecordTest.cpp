// Recorded sessions, truth files and the command line of korvale-sim.
#include "sim/SimRecord.h"

#include "sensor/MLX90640_API.h"
#include "sim/SimCommandLine.h"
#include "sim/SimStream.h"
#include "sim/SimTruth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace sim_test;

namespace {

std::string TempDir() {
    char pattern[] = "/tmp/korvale_sim_testXXXXXX";
    const char *dir = mkdtemp(pattern);
    return dir ? dir : "";
}

std::vector<double> ReadTruth(const std::string &path) {
    std::ifstream in(path);
    std::vector<double> values;
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        std::istringstream row(line);
        double v;
        int n = 0;
        while (row >> v) {
            values.push_back(v);
            ++n;
        }
        EXPECT_EQ(n, 32) << path << " line " << lines;
        ++lines;
    }
    EXPECT_EQ(lines, 24) << path;
    return values;
}

TEST(SimRecord, StreamHoldsCalibrationParametersAndFramesThatDecodeToTheTruth) {
    const std::string dir = TempDir();
    ASSERT_FALSE(dir.empty());
    TSimOptions o;
    o.noise = 0.2;
    o.truthDir = dir + "/truth";
    o.brokenPixels = {200};
    TBytes stream;
    std::string error;
    ASSERT_TRUE(RecordSession(o, 6, stream, &error)) << error;
    EXPECT_EQ(stream.size(), kEemFrameBytes + kSysFrameBytes + 6 * kFullFrameBytes);

    size_t stray = 0;
    const std::vector<TItem> items = TakeItems(stream, stray);
    EXPECT_EQ(stray, 0u);
    EXPECT_TRUE(stream.empty());
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0].type, "EEM");
    EXPECT_TRUE(CheckWordMatches(items[0].bytes, 832));
    EXPECT_EQ(items[1].type, "SYS");
    EXPECT_EQ(BlockOf(items[1])[1], 4608);

    std::vector<uint16_t> eeData(833, 0);
    for (size_t k = 0; k < 832; ++k)
        eeData[k] = PayloadWord(items[0].bytes, k);
    TParamsMLX90640 params{};
    EXPECT_EQ(MLX90640_ExtractParameters(eeData.data(), params), 0);
    EXPECT_EQ(params.brokenPixels[0], 200);

    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        const TItem &item = items[2 + f];
        ASSERT_EQ(item.type, "FRM");
        EXPECT_TRUE(CheckWordMatches(item.bytes, 834));
        EXPECT_EQ(item.bytes[1674], f % 2);
        std::vector<uint16_t> frame(835, 0);
        for (size_t k = 0; k < 834; ++k)
            frame[k] = PayloadWord(item.bytes, k);

        const std::vector<double> truth = ReadTruth(dir + "/truth/" + TTruthWriter::FileName(f));
        ASSERT_EQ(truth.size(), 768u);
        std::vector<double> to(768, NAN);
        const double ta = MLX90640_GetTa(frame.data(), params);
        EXPECT_NEAR(ta, 27.0, 0.5);  // the sensor at power-on
        MLX90640_CalculateTo(frame.data(), params, 1.0, ta - 8, to.data());
        int compared = 0;
        for (int p = 0; p < 768; ++p) {
            if (std::isnan(to[p]))
                continue;
            ++compared;
            ASSERT_NEAR(to[p], truth[p], 0.1) << p;
        }
        EXPECT_EQ(compared, 384);
    }
    // Noise makes consecutive frames differ; the scene stays believable.
    const std::vector<double> a = ReadTruth(dir + "/truth/frame_00000.txt");
    const std::vector<double> b = ReadTruth(dir + "/truth/frame_00002.txt");
    double minT = 1e9, maxT = -1e9;
    int differ = 0;
    for (int p = 0; p < 768; ++p) {
        differ += a[p] != b[p];
        minT = std::min(minT, a[p]);
        maxT = std::max(maxT, a[p]);
    }
    EXPECT_GT(differ, 700);
    EXPECT_GT(minT, 10);
    EXPECT_LT(minT, 20);  // the cold window
    EXPECT_GT(maxT, 60);  // the hot mug
    EXPECT_LT(maxT, 90);
    std::system(("rm -rf " + dir).c_str());
}

TEST(SimRecord, HalfFramesAndNoNoiseAreExact) {
    TSimOptions o;
    o.noise = 0;
    o.presetParams = {{11, 1}, {5, 7}};
    TScene::Parse("ramp", o.scene, nullptr);
    TBytes stream;
    ASSERT_TRUE(RecordSession(o, 4, stream, nullptr));
    size_t stray = 0;
    const std::vector<TItem> items = TakeItems(stream, stray);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(BlockOf(items[1])[11], 1);
    EXPECT_EQ(BlockOf(items[1])[5], 7);
    for (int f = 0; f < 4; ++f) {
        EXPECT_EQ(items[2 + f].type, f % 2 ? "FR1" : "FR0");
        EXPECT_EQ(items[2 + f].bytes.size(), kHalfFrameBytes);
        EXPECT_EQ(items[2 + f].bytes[906], f % 2);
    }
    // Two fixed-scene frames of the same subpage carry the same words.
    EXPECT_EQ(items[2].bytes.size(), items[4].bytes.size());
    EXPECT_TRUE(
        std::equal(items[2].bytes.begin() + 7, items[2].bytes.begin() + 775, items[4].bytes.begin() + 7));
}

TEST(SimCommandLine, OptionsAreCheckedWithClearMessages) {
    struct Case {
        std::vector<std::string> args;
        const char *message;
    };
    const Case bad[] = {
        {{"--bogus"}, "unknown option"},
        {{"--noise"}, "--noise"},
        {{"--noise", "-1"}, "--noise"},
        {{"--noise", "abc"}, "--noise"},
        {{"--scene", "beach"}, "unknown scene"},
        {{"--scene", "uniform:hot"}, "uniform"},
        {{"--record", "x.bin"}, "--frames"},
        {{"--frames", "3"}, "--record"},
        {{"--frames", "-2", "--record", "x"}, "--frames"},
        {{"--set", "5,9"}, "--set"},
        {{"--set", "17,1"}, "--set"},
        {{"--broken", "768"}, "--broken"},
        {{"--outlier", "1,,2"}, "--outlier"},
        {{"--seed", "1.5"}, "--seed"},
        {{"--record", "x", "--frames", "1", "--link", "y"}, "--link"},
    };
    for (const Case &c : bad) {
        TSimCommandLine cl;
        std::string error;
        EXPECT_FALSE(ParseSimCommandLine(c.args, cl, &error)) << c.args[0];
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
    TSimCommandLine cl;
    std::string error;
    ASSERT_TRUE(ParseSimCommandLine({"--no-pacing", "--noise", "0", "--scene", "uniform:31.5", "--set",
                                     "11,1", "--broken", "5,300", "--seed", "9", "--link", "/tmp/x"},
                                    cl, &error))
        << error;
    EXPECT_FALSE(cl.options.pacing);
    EXPECT_EQ(cl.options.noise, 0);
    EXPECT_EQ(cl.options.seed, 9u);
    EXPECT_EQ(cl.options.brokenPixels, (std::vector<int>{5, 300}));
    ASSERT_EQ(cl.options.presetParams.size(), 1u);
    EXPECT_EQ(cl.options.presetParams[0], (std::pair<int, int>{11, 1}));
    double scene[768];
    cl.options.scene.Render(0, scene);
    EXPECT_EQ(scene[400], 31.5);
}

TEST(SimCommandLine, RunSimRecordsAndFailsWithNonZeroStatus) {
    const std::string dir = TempDir();
    ASSERT_FALSE(dir.empty());
    std::FILE *sink = std::fopen("/dev/null", "w");
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(RunSim({"--bogus"}, sink, sink), 2);
    EXPECT_EQ(RunSim({"--help"}, sink, sink), 0);
    const std::string file = dir + "/session.bin";
    EXPECT_EQ(RunSim({"--record", file, "--frames", "3", "--noise", "0"}, sink, sink), 0);
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    EXPECT_EQ(static_cast<size_t>(in.tellg()), kEemFrameBytes + kSysFrameBytes + 3 * kFullFrameBytes);
    EXPECT_EQ(RunSim({"--record", dir + "/missing/x.bin", "--frames", "1"}, sink, sink), 1);
    std::fclose(sink);
    std::system(("rm -rf " + dir).c_str());
}

}  // namespace
