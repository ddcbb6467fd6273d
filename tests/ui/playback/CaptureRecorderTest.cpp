// The window's recorder: the calibration and parameters first, then every chunk with
// its time; frames counted across chunk edges; a write that fails ends the recording
// and leaves a file that reads back whole.

#include "ui/playback/CaptureRecorder.h"

#include "protocol/FrameBuild.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace {

std::string TempPath(const char *name) {
    return (std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(getpid()))).string();
}

std::vector<TCaptureChunk> ReadAll(const std::string &path, TCaptureStatus *status) {
    TCaptureReader reader;
    std::string error;
    EXPECT_TRUE(reader.Open(path, &error)) << error;
    std::vector<TCaptureChunk> chunks;
    TCaptureChunk chunk;
    while (reader.Next(chunk))
        chunks.push_back(chunk);
    *status = reader.Status();
    return chunks;
}

}  // namespace

TEST(CaptureRecorder, HeldCalibrationAndParametersFirstThenTimedChunks) {
    const std::string path = TempPath("korvale-rec-");
    std::vector<uint16_t> calibration(833);
    for (size_t i = 0; i < calibration.size(); ++i)
        calibration[i] = uint16_t(i * 7);
    std::vector<uint16_t> parameters(32, 3);
    TCaptureRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Start(path, calibration, parameters, &error)) << error;
    const auto t0 = TCaptureRecorder::TClock::now();
    const uint8_t first[] = {'M', 'L', 'X', 0, 'F', 'R', 'M', 1, 2, 'M'};
    const uint8_t second[] = {'L', 'X', 0, 'F', 'R', '0'};
    ASSERT_TRUE(recorder.AppendAt(t0 + std::chrono::milliseconds(40), first, sizeof first, &error));
    ASSERT_TRUE(recorder.AppendAt(t0 + std::chrono::milliseconds(90), second, sizeof second, &error));
    EXPECT_EQ(recorder.Frames(), 2u);  // the second "MLX" is cut between the chunks
    ASSERT_TRUE(recorder.Stop(&error)) << error;
    EXPECT_FALSE(recorder.IsRecording());

    TCaptureStatus status;
    const auto chunks = ReadAll(path, &status);
    EXPECT_TRUE(status.Sound()) << status.Text();
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[0].bytes, BuildEemFrame(calibration));
    EXPECT_EQ(chunks[1].bytes, BuildSysFrame(parameters));
    EXPECT_EQ(chunks[0].micros, 0u);
    EXPECT_EQ(chunks[2].bytes, std::vector<uint8_t>(first, first + sizeof first));
    EXPECT_EQ(chunks[3].bytes, std::vector<uint8_t>(second, second + sizeof second));
    EXPECT_GE(chunks[2].micros, 40000u);
    EXPECT_LT(chunks[2].micros, chunks[3].micros);
    EXPECT_EQ(recorder.Bytes(), std::filesystem::file_size(path));
    std::filesystem::remove(path);

    // Nothing held yet (recording before the module answered): chunks only.
    ASSERT_TRUE(recorder.Start(path, {}, {}, &error));
    ASSERT_TRUE(recorder.Append(first, sizeof first, &error));
    ASSERT_TRUE(recorder.Stop(&error));
    EXPECT_EQ(ReadAll(path, &status).size(), 1u);
    std::filesystem::remove(path);

    // A folder that cannot take the file.
    EXPECT_FALSE(recorder.Start("/nonexistent-korvale-dir/rec.kvc", {}, {}, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(recorder.IsRecording());
}

TEST(CaptureRecorder, FailedWriteEndsTheRecordingAndKeepsWholeRecords) {
    // A file that may grow no further, as on a full disk: writes past 20000 bytes fail.
    const std::string path = TempPath("korvale-rec-full-");
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous {};
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = 20000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);

    TCaptureRecorder recorder;
    std::string error;
    const bool started = recorder.Start(path, {}, {}, &error);
    std::vector<uint8_t> chunk(1500, 0x5A);
    int appended = 0;
    bool failed = false;
    for (int i = 0; started && i < 100 && !failed; ++i) {
        if (recorder.Append(chunk.data(), chunk.size(), &error))
            ++appended;
        else
            failed = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &previous, nullptr);
    ASSERT_TRUE(started) << error;
    EXPECT_TRUE(failed);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_GT(appended, 5);

    // Every record before the failed one reads back, and the file ends cleanly.
    TCaptureStatus status;
    const auto chunks = ReadAll(path, &status);
    EXPECT_TRUE(status.Sound()) << status.Text();
    EXPECT_EQ(chunks.size(), size_t(appended));
    EXPECT_EQ(recorder.Bytes(), std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
