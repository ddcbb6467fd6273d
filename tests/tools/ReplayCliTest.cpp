// korvale-replay as a program: a noiseless session recorded by korvale-sim comes
// back as the temperatures the virtual module rendered; files, standard input and
// error exits.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command line, capturing standard output and standard error.
TRun RunCommand(const std::string &command, const fs::path &dir) {
    const fs::path outFile = dir / "stdout.txt", errFile = dir / "stderr.txt";
    const std::string line = command + " >" + outFile.string() + " 2>" + errFile.string();
    TRun r;
    const int raw = std::system(line.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream o(outFile), e(errFile);
    std::stringstream so, se;
    so << o.rdbuf();
    se << e.rdbuf();
    r.out = so.str();
    r.err = se.str();
    return r;
}

std::vector<double> ReadNumbers(const fs::path &file) {
    std::ifstream in(file);
    std::vector<double> v;
    double x;
    while (in >> x)
        v.push_back(x);
    return v;
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

struct ReplayCli : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() / ("korvale_replay_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Replay() const { return std::string(KORVALE_REPLAY_EXE); }
    void Record(const std::string &args, const std::string &name, int frames) {
        const TRun r = RunCommand(std::string(KORVALE_SIM_EXE) + " --record " + (dir / name).string() +
                                      " --frames " + std::to_string(frames) + " --noise 0 --truth " +
                                      (dir / (name + ".truth")).string() + " " + args,
                                  dir);
        ASSERT_EQ(r.status, 0) << r.err;
    }
    // Largest difference from the truth over frames 1.. (frame 0 has only one
    // subpage computed), with the displayed grid mirrored or not.
    double WorstError(const std::string &name, const fs::path &temps, int frames, bool mirrored) {
        double worst = 0;
        for (int n = 1; n < frames; ++n) {
            char file[32];
            std::snprintf(file, sizeof file, "frame_%05d.txt", n);
            const auto shown = ReadNumbers(temps / file);
            const auto truth = ReadNumbers(dir / (name + ".truth") / file);
            EXPECT_EQ(shown.size(), 768u);
            EXPECT_EQ(truth.size(), 768u);
            if (shown.size() != 768 || truth.size() != 768)
                return 1e9;
            for (int p = 0; p < 768; ++p) {
                const int q = mirrored ? 32 * (p / 32) + 31 - p % 32 : p;
                worst = std::max(worst, std::fabs(shown[q] - truth[p]));
            }
        }
        return worst;
    }
};

}  // namespace

TEST_F(ReplayCli, NoiselessSessionMatchesTheRenderedTemperatures) {
    Record("--scene ramp", "ramp.bin", 8);
    const TRun r =
        RunCommand(Replay() + " --header --mirror 0 --emissivity 1 --temps " + (dir / "t").string() +
                       " --picture-temps " + (dir / "p").string() + " --ppm " + (dir / "m").string() +
                       " --jpeg " + (dir / "j").string() + " " + (dir / "ramp.bin").string(),
                   dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "index,type,subpage,vdd,ta,min,max,avg,lower,upper");
    EXPECT_EQ(lines[1].substr(0, 8), "0,FRM,0,");
    EXPECT_EQ(lines[8].substr(0, 8), "7,FRM,1,");
    EXPECT_LT(WorstError("ramp.bin", dir / "t", 8, false), 0.1);

    // Files of every kind, for every frame.
    EXPECT_EQ(fs::file_size(dir / "m" / "frame_00007.ppm"), 15u + 512u * 384u * 3u);
    std::ifstream ppm(dir / "m" / "frame_00000.ppm", std::ios::binary);
    std::string magic, size;
    ppm >> magic;
    EXPECT_EQ(magic, "P6");
    std::ifstream jpg(dir / "j" / "frame_00007.jpg", std::ios::binary);
    unsigned char soi[2] = {};
    jpg.read(reinterpret_cast<char *>(soi), 2);
    EXPECT_EQ(soi[0], 0xFF);
    EXPECT_EQ(soi[1], 0xD8);
    const auto picture = ReadNumbers(dir / "p" / "frame_00003.txt");
    EXPECT_EQ(picture.size(), 384u * 512u);
    std::ifstream pt(dir / "p" / "frame_00003.txt");
    std::string firstLine;
    std::getline(pt, firstLine);
    EXPECT_EQ(std::count(firstLine.begin(), firstLine.end(), ' '), 511);
}

TEST_F(ReplayCli, HalfFramesMirroredAndFromStandardInput) {
    Record("--scene hotspot --set 11,1", "half.bin", 6);
    const TRun file = RunCommand(Replay() + " --emissivity 1 --temps " + (dir / "t").string() + " " +
                                     (dir / "half.bin").string(),
                                 dir);
    ASSERT_EQ(file.status, 0) << file.err;
    const auto lines = Lines(file.out);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].substr(0, 8), "0,FR0,0,");
    EXPECT_EQ(lines[1].substr(0, 8), "1,FR1,1,");
    EXPECT_LT(WorstError("half.bin", dir / "t", 6, true), 0.1);

    const TRun piped = RunCommand(Replay() + " --emissivity 1 - < " + (dir / "half.bin").string(), dir);
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, file.out);
}

TEST_F(ReplayCli, CaptureFilesAndRawStreamsReplayAlikeAndACutCaptureUpToTheCut) {
    Record("--scene ramp", "s.kvc", 5);
    Record("--scene ramp --raw", "s.raw", 5);
    const TRun capture = RunCommand(Replay() + " " + (dir / "s.kvc").string(), dir);
    const TRun raw = RunCommand(Replay() + " " + (dir / "s.raw").string(), dir);
    ASSERT_EQ(capture.status, 0) << capture.err;
    ASSERT_EQ(raw.status, 0) << raw.err;
    EXPECT_EQ(Lines(capture.out).size(), 5u);
    EXPECT_EQ(capture.out, raw.out);
    EXPECT_NE(capture.err.find("capture started "), std::string::npos) << capture.err;
    EXPECT_NE(capture.err.find(", 7 chunks"), std::string::npos) << capture.err;
    EXPECT_TRUE(raw.err.empty()) << raw.err;  // a raw stream has no header to tell of

    // Cut in the middle of the fourth frame's record: three frames, and where it stopped.
    const auto size = fs::file_size(dir / "s.kvc");
    fs::copy_file(dir / "s.kvc", dir / "cut.kvc");
    fs::resize_file(dir / "cut.kvc", size - 1748 - 16 - 500);
    const TRun cut = RunCommand(Replay() + " " + (dir / "cut.kvc").string(), dir);
    ASSERT_EQ(cut.status, 0) << cut.err;
    const auto lines = Lines(cut.out);
    ASSERT_EQ(lines.size(), 3u);
    const auto rawLines = Lines(raw.out);
    EXPECT_EQ(lines, std::vector<std::string>(rawLines.begin(), rawLines.begin() + 3));
    EXPECT_NE(cut.err.find("truncated after 5 chunks at byte offset"), std::string::npos) << cut.err;

    // A capture of a later version is refused.
    std::vector<char> bytes(size);
    std::ifstream(dir / "s.kvc", std::ios::binary).read(bytes.data(), long(size));
    bytes[8] = 9;
    std::ofstream(dir / "v9.kvc", std::ios::binary).write(bytes.data(), long(size));
    const TRun later = RunCommand(Replay() + " " + (dir / "v9.kvc").string(), dir);
    EXPECT_EQ(later.status, 1);
    EXPECT_NE(later.err.find("version 9 is not supported"), std::string::npos) << later.err;
    EXPECT_TRUE(later.out.empty());
}

TEST_F(ReplayCli, BadOptionsAndUnreadableFilesFailWithAMessage) {
    const TRun bad = RunCommand(Replay() + " --palette 13 x.bin", dir);
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--palette 13"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("usage:"), std::string::npos);

    const TRun missing = RunCommand(Replay() + " " + (dir / "nothing.bin").string(), dir);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("nothing.bin"), std::string::npos) << missing.err;
    EXPECT_TRUE(missing.out.empty());

    std::ofstream(dir / "blocker") << "a file where a folder should go";
    Record("--scene ramp", "r.bin", 2);
    const TRun blocked =
        RunCommand(Replay() + " --ppm " + (dir / "blocker").string() + " " + (dir / "r.bin").string(), dir);
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("blocker"), std::string::npos) << blocked.err;

    const TRun help = RunCommand(Replay() + " --help", dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--picture-temps"), std::string::npos);
}
