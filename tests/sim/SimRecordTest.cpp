// Recorded sessions, truth files and the command line of korvale-sim.
#include "sim/SimRecord.h"

#include "protocol/CaptureFile.h"
#include "sensor/MLX90640_API.h"
#include "sim/SimCommandLine.h"
#include "sim/SimFaults.h"
#include "sim/SimStream.h"
#include "sim/SimTruth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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

TEST(SimFaults, FlipsAndDropsAtTheirRatesAndTheSameForTheSameSeed) {
    TSimOptions o;
    o.flipProbability = 0.01;
    o.dropProbability = 0.02;
    o.seed = 7;
    const TBytes clean(200000, 0x5A);
    TLineFaults a(o), b(o);
    TBytes x = clean, y = clean;
    a.Apply(x);
    b.Apply(y);
    EXPECT_EQ(x, y);
    EXPECT_EQ(x.size(), clean.size() - a.Dropped());
    EXPECT_NEAR(double(a.Dropped()), 4000, 400);  // 0.02 of 200 000, within 6 sigma
    EXPECT_NEAR(double(a.Flipped()), 1960, 300);  // 0.01 of the bytes not dropped
    size_t changed = 0;
    for (uint8_t v : x) {
        if (v != 0x5A) {
            ++changed;
            EXPECT_EQ(__builtin_popcount(unsigned(v ^ 0x5A)), 1);  // exactly one bit
        }
    }
    EXPECT_EQ(changed, a.Flipped());

    o.seed = 8;
    TLineFaults c(o);
    TBytes z = clean;
    c.Apply(z);
    EXPECT_NE(z, x);

    TLineFaults none(TSimOptions{});
    TBytes w = clean;
    none.Apply(w);
    EXPECT_EQ(w, clean);
    EXPECT_FALSE(none.Active());
}

TEST(SimFaults, ARecordedSessionIsCorruptedReproduciblyAndItsNoiseStaysTheSame) {
    TSimOptions o;
    o.noise = 0.5;
    // A fixed clock: the system block of sessions recorded a second apart would differ.
    o.clockStart = 1765000000;
    TBytes clean, faultyA, faultyB;
    ASSERT_TRUE(RecordSession(o, 4, clean, nullptr));
    o.flipProbability = 0.001;
    o.dropProbability = 0.001;
    ASSERT_TRUE(RecordSession(o, 4, faultyA, nullptr));
    ASSERT_TRUE(RecordSession(o, 4, faultyB, nullptr));
    EXPECT_EQ(faultyA, faultyB);
    EXPECT_LT(faultyA.size(), clean.size());
    // The faulty session is the clean one (same noise) with the faults applied to each
    // message in turn.
    o.flipProbability = o.dropProbability = 0;
    std::vector<TRecordedMessage> messages;
    ASSERT_TRUE(RecordSessionMessages(o, 4, messages, nullptr));
    o.flipProbability = o.dropProbability = 0.001;
    TLineFaults faults(o);
    TBytes expected;
    for (TRecordedMessage &m : messages) {
        faults.Apply(m.bytes);
        expected.insert(expected.end(), m.bytes.begin(), m.bytes.end());
    }
    EXPECT_EQ(faultyA, expected);
    EXPECT_GT(faults.Flipped() + faults.Dropped(), 0u);
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
        {{"--raw"}, "--raw goes with --record"},
        {{"--corrupt", "0.5"}, "--corrupt"},
        {{"--corrupt", "0.6,0.5"}, "--corrupt"},
        {{"--corrupt", "-0.1,0"}, "--corrupt"},
        {{"--stall", "100"}, "--stall"},
        {{"--stall", "0,5"}, "--stall"},
        {{"--stall", "100,0"}, "--stall"},
        {{"--vanish-after", "0"}, "--vanish-after"},
        {{"--vanish-after", "x"}, "--vanish-after"},
        {{"--record", "x", "--frames", "1", "--stall", "100,2"}, "do not go with --record"},
        {{"--record", "x", "--frames", "1", "--vanish-after", "3"}, "do not go with --record"},
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

    TSimCommandLine faults;
    ASSERT_TRUE(ParseSimCommandLine({"--corrupt", "0.001,0.0005", "--stall", "250,10", "--vanish-after", "1"},
                                    faults, &error))
        << error;
    EXPECT_EQ(faults.options.flipProbability, 0.001);
    EXPECT_EQ(faults.options.dropProbability, 0.0005);
    EXPECT_EQ(faults.options.stallMs, 250);
    EXPECT_EQ(faults.options.stallEvery, 10);
    EXPECT_EQ(faults.options.vanishAfter, 1);
    TSimCommandLine raw;
    ASSERT_TRUE(
        ParseSimCommandLine({"--record", "x", "--frames", "2", "--raw", "--corrupt", "0,0.1"}, raw, &error))
        << error;
    EXPECT_TRUE(raw.raw);
}

TEST(SimCommandLine, RunSimRecordsAndFailsWithNonZeroStatus) {
    const std::string dir = TempDir();
    ASSERT_FALSE(dir.empty());
    std::FILE *sink = std::fopen("/dev/null", "w");
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(RunSim({"--bogus"}, sink, sink), 2);
    EXPECT_EQ(RunSim({"--help"}, sink, sink), 0);
    const size_t streamBytes = kEemFrameBytes + kSysFrameBytes + 3 * kFullFrameBytes;
    const std::string raw = dir + "/session.bin";
    EXPECT_EQ(RunSim({"--record", raw, "--frames", "3", "--noise", "0", "--raw"}, sink, sink), 0);
    std::ifstream in(raw, std::ios::binary | std::ios::ate);
    EXPECT_EQ(static_cast<size_t>(in.tellg()), streamBytes);
    // A capture file: the header and a timed record per message, holding the same stream.
    const std::string capture = dir + "/session.kvc";
    // The module's clock starts at the host's local time: the system block matches a
    // session recorded here with its clock at one of the seconds the run took.
    const auto localNow = [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return int64_t(timegm(&local));
    };
    const int64_t clockBefore = localNow();
    EXPECT_EQ(RunSim({"--record", capture, "--frames", "3", "--noise", "0"}, sink, sink), 0);
    const int64_t clockAfter = localNow();
    TCaptureReader reader;
    ASSERT_TRUE(reader.Open(capture, nullptr));
    ASSERT_TRUE(reader.IsCapture());
    EXPECT_NEAR(double(reader.Header().startUnixMicros), double(CaptureNowUnixMicros()), 60e6);
    TBytes joined;
    std::vector<uint64_t> times;
    TCaptureChunk chunk;
    while (reader.Next(chunk)) {
        joined.insert(joined.end(), chunk.bytes.begin(), chunk.bytes.end());
        times.push_back(chunk.micros);
    }
    EXPECT_TRUE(reader.Status().Sound()) << reader.Status().Text();
    bool sameStream = false;
    for (int64_t clock = clockBefore; clock <= clockAfter && !sameStream; ++clock) {
        TSimOptions o;
        o.noise = 0;
        o.clockStart = clock;
        TBytes stream;
        ASSERT_TRUE(RecordSession(o, 3, stream, nullptr));
        sameStream = joined == stream;
    }
    EXPECT_TRUE(sameStream);
    EXPECT_EQ(times, (std::vector<uint64_t>{0, 0, 0, 125000, 250000}));  // 8 Hz
    EXPECT_EQ(RunSim({"--record", dir + "/missing/x.bin", "--frames", "1"}, sink, sink), 1);
    std::fclose(sink);
    std::system(("rm -rf " + dir).c_str());
}

}  // namespace
