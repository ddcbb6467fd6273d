// Files written whole or not at all: the JPEG writer and the temperature file on a
// full disk, on a device, under a path that cannot be a folder, and cut off before
// they are complete.
#include "pipeline/WholeFile.h"

#include "pipeline/JpegWriter.h"
#include "pipeline/PixelTypes.h"
#include "pipeline/TemperatureFile.h"
#include "pipeline/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include <sys/mount.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Entries(const fs::path &folder) {
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Random pixels: a JPEG of quality 100 that does not compress (about 3 bytes a pixel).
std::vector<uint8_t> Noise(int width, int height) {
    std::vector<uint8_t> px(size_t(width) * height * 3);
    std::mt19937 rng(7);
    for (auto &b : px)
        b = uint8_t(rng());
    return px;
}

TPixels Grid() {
    TPixels grid(32, std::vector<TPixel>(24));
    for (int c = 0; c < 32; ++c)
        for (int r = 0; r < 24; ++r)
            grid[c][r].Temperature = 20.0 + c * 0.1 + r * 0.01;
    return grid;
}

// A 64 KiB file system of its own (root only; skipped where mounting is refused).
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        fFolder = TestFolder() /
                  ("tiny_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(fFolder);
        if (::mount("tmpfs", fFolder.c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a small file system here";
        fMounted = true;
    }
    void TearDown() override {
        if (fMounted)
            ::umount2(fFolder.c_str(), MNT_DETACH);
    }
    fs::path fFolder;
    bool fMounted = false;
};

TEST_F(FullDisk, AFileThatDoesNotFitLeavesTheOlderOneWhole) {
    const fs::path jpeg = fFolder / "MLX_PHOTO_1.jpg";
    const fs::path text = fFolder / "MLX_PHOTO_1.txt";
    { std::ofstream(jpeg, std::ios::binary) << "an older snapshot"; }
    { std::ofstream(text, std::ios::binary) << "older temperatures"; }
    // 200 x 200 noise is about 120 KB as a JPEG: more than the whole disk holds.
    const std::vector<uint8_t> px = Noise(200, 200);
    std::string error;
    EXPECT_FALSE(WriteJpeg(jpeg.string(), px.data(), 200, 200, 600, false, 100, &error));
    EXPECT_NE(error.find("space"), std::string::npos) << error;
    EXPECT_EQ(Contents(jpeg), "an older snapshot");

    // Fill the disk to the last block: the temperature file (about 17 KB) cannot follow.
    std::ofstream filler(fFolder / "filler", std::ios::binary);
    const std::string block(4096, 'f');
    while (filler.write(block.data(), block.size()))
        ;
    filler.close();
    EXPECT_THROW(SaveTemperatureFile(text.string(), Grid(), "."), TTemperatureFileError);
    EXPECT_EQ(Contents(text), "older temperatures");
    EXPECT_EQ(Entries(fFolder), (std::vector<std::string>{"MLX_PHOTO_1.jpg", "MLX_PHOTO_1.txt", "filler"}));
}

TEST(WholeFile, DevicesAreWrittenInPlaceAndNeverReplaced) {
    const std::vector<uint8_t> px = Noise(64, 48);
    std::string error;
    EXPECT_FALSE(WriteJpeg("/dev/full", px.data(), 64, 48, 192, false, 100, &error));
    EXPECT_NE(error.find("space"), std::string::npos) << error;
    EXPECT_THROW(SaveTemperatureFile("/dev/full", Grid(), "."), TTemperatureFileError);
    EXPECT_TRUE(WriteJpeg("/dev/null", px.data(), 64, 48, 192, false));
    struct stat st;
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(WholeFile, AFolderThatCannotExistIsAFailure) {
    // As root no permission stops a write; a parent that is a regular file does.
    const std::string parent = WriteTestFile("not_a_folder", "x");
    const std::vector<uint8_t> px = Noise(64, 48);
    std::string error;
    EXPECT_FALSE(WriteJpeg(parent + "/a.jpg", px.data(), 64, 48, 192, false, 100, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_THROW(SaveTemperatureFile(parent + "/a.txt", Grid(), "."), TTemperatureFileError);
    EXPECT_EQ(Contents(parent), "x");
}

TEST(WholeFile, OnlyACommittedFileTakesTheName) {
    const fs::path folder = TestFolder() / "commit";
    fs::create_directories(folder);
    const fs::path target = folder / "data.txt";
    { std::ofstream(target) << "old"; }
    ::chmod(target.c_str(), 0640);
    {
        // Cut off before it is complete (as a crash would): the older file stays.
        TWholeFile file(target.string());
        ASSERT_NE(file.File(), nullptr);
        std::fputs("half of the new", file.File());
        std::fflush(file.File());
        EXPECT_EQ(Contents(target), "old");
    }
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"data.txt"});

    // Committed: the new contents, the file's permissions kept, nothing left beside.
    // A link to the file stays a link.
    const fs::path link = folder / "link.txt";
    fs::create_symlink(target, link);
    TWholeFile file(link.string());
    std::fputs("new", file.File());
    ASSERT_TRUE(file.Commit()) << file.Error();
    EXPECT_EQ(Contents(target), "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"data.txt", "link.txt"}));
}

}  // namespace
