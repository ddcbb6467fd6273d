// Temperature text files: splitting, numbers, encodings, loading into the sensor
// image object and writing them back.
#include "pipeline/TemperatureFile.h"

#include "pipeline/MLX90640.h"
#include "pipeline/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using Lines = std::vector<std::string>;

// 24 lines of 32 values from f(column, row), joined with `sep` and `eol`.
template <class F>
std::string GridText(F f, const std::string &sep = " ", const std::string &eol = "\n") {
    std::string text;
    for (int r = 0; r < 24; ++r) {
        for (int c = 0; c < 32; ++c)
            text += (c ? sep : "") + f(c, r);
        text += eol;
    }
    return text;
}

std::string Utf16(const std::string &ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char ch : ascii) {
        if (bigEndian)
            out += '\0';
        out += ch;
        if (!bigEndian)
            out += '\0';
    }
    return out;
}

TEST(TemperatureLine, SeparatorsAndQuotes) {
    EXPECT_EQ(SplitTemperatureLine("  1 2\t3   \x01 4 "), (Lines{"1", "2", "3", "4"}));
    EXPECT_EQ(SplitTemperatureLine("\"1 2\" \"a\"\"b\" \"\" x"), (Lines{"1 2", "a\"b", "", "x"}));
    EXPECT_EQ(SplitTemperatureLine("\"12\"34"), (Lines{"12", "34"}));
    EXPECT_EQ(SplitTemperatureLine("\"open end"), (Lines{"open end"}));
    EXPECT_EQ(SplitTemperatureLine("a\"b"), (Lines{"a\"b"}));
    EXPECT_TRUE(SplitTemperatureLine(" \t ").empty());
}

TEST(TemperatureLine, LocaleNumbers) {
    double v = 0;
    EXPECT_TRUE(ParseLocaleNumber("21.5", ".", v));
    EXPECT_EQ(v, 21.5);
    EXPECT_TRUE(ParseLocaleNumber("-7,25", ",", v));
    EXPECT_EQ(v, -7.25);
    EXPECT_TRUE(ParseLocaleNumber("+3", ".", v));
    EXPECT_EQ(v, 3.0);
    EXPECT_TRUE(ParseLocaleNumber(" 4.5 ", ".", v));
    EXPECT_EQ(v, 4.5);
    EXPECT_TRUE(ParseLocaleNumber("2.5e1", ".", v));
    EXPECT_EQ(v, 25.0);
    EXPECT_TRUE(ParseLocaleNumber("1E-2", ".", v));
    EXPECT_EQ(v, 0.01);
    EXPECT_TRUE(ParseLocaleNumber(".5", ".", v));
    EXPECT_EQ(v, 0.5);
    EXPECT_TRUE(ParseLocaleNumber("5.", ".", v));
    EXPECT_EQ(v, 5.0);
    EXPECT_TRUE(ParseLocaleNumber("1e-400", ".", v));
    EXPECT_EQ(v, 0.0);
    EXPECT_TRUE(ParseLocaleNumber("0.1000000000000000055511151231257827", ".", v));
    EXPECT_EQ(v, 0.1);
    v = 42.0;
    for (const char *bad : {"", "-", ".", "abc", "1.2.3", "1,5", "nan", "inf", "-inf", "1e", "1e+", "1e400",
                            "0x10", "12a", "--1", "1 2"}) {
        EXPECT_FALSE(ParseLocaleNumber(bad, ".", v)) << bad;
        EXPECT_EQ(v, 42.0) << bad;
    }
    EXPECT_FALSE(ParseLocaleNumber("1.5", ",", v));
}

TEST(TextFile, LineEndsAndByteOrderMarks) {
    EXPECT_EQ(ReadTextLines(WriteTestFile("mixed.txt", "a\rb\nc\r\nd")), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(ReadTextLines(WriteTestFile("trailing.txt", "a\r\n\r\nb\n")), (Lines{"a", "", "b"}));
    EXPECT_TRUE(ReadTextLines(WriteTestFile("empty.txt", "")).empty());
    EXPECT_EQ(ReadTextLines(WriteTestFile("bom8.txt", "\xEF\xBB\xBF"
                                                      "1 2\n3")),
              (Lines{"1 2", "3"}));
    EXPECT_EQ(ReadTextLines(WriteTestFile("le.txt", Utf16("1,5 2\r\n3", false))), (Lines{"1,5 2", "3"}));
    EXPECT_EQ(ReadTextLines(WriteTestFile("be.txt", Utf16("1,5 2\r\n3", true))), (Lines{"1,5 2", "3"}));
    // Characters beyond ASCII arrive as UTF-8.
    EXPECT_EQ(ReadTextLines(WriteTestFile("deg.txt", std::string("\xFF\xFE\xB0\x00", 4))),
              (Lines{"\xC2\xB0"}));
}

TEST(TextFile, UnreadableFilesRaiseAClearError) {
    const std::string missing = (TestFolder() / "no_such_file.txt").string();
    try {
        ReadTextLines(missing);
        FAIL() << "no error";
    } catch (const TTemperatureFileError &e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    EXPECT_THROW(ReadTextLines(TestFolder().string()), TTemperatureFileError);  // a folder
}

struct LoadFixture : ::testing::Test {
    TMLX90640 obj;
    void SetUp() override { obj.SetTemperature_UpLowAuto(true); }
};

TEST_F(LoadFixture, FillsTheGridUnmirroredAndFollowsTheRange) {
    obj.SetMirror_LR(true);  // files are never mirrored
    const std::string path =
        WriteTestFile("example.txt", GridText([](int c, int r) {
                          return (c == 3 && r == 5) ? std::string("30.2") : std::string("21.5");
                      }));
    obj.LoadDatasFromTemperatureFile(path, ".");
    EXPECT_EQ(obj.GetTemperature_LowerLimit(), 20.0);
    EXPECT_EQ(obj.GetTemperature_UpperLimit(), 35.0);
    const TPixels grid = obj.GetPixs_Origin();
    EXPECT_EQ(grid[3][5].Temperature, 30.2);
    EXPECT_EQ(grid[3][5].X, 3);
    EXPECT_EQ(grid[3][5].Y, 5);
    EXPECT_TRUE(grid[3][5].Useable);
    EXPECT_EQ(grid[28][5].Temperature, 21.5);
    // The picture is made as for a frame; frame-only results stay as they were.
    EXPECT_TRUE(obj.GetHaveNewDatas());
    EXPECT_FALSE(obj.GetFrame0Finished());
    EXPECT_FALSE(obj.GetFrame1Finished());
    EXPECT_EQ(obj.GetVdd(), 0.0);
    EXPECT_EQ(obj.GetMaxPix().Temperature, 0.0);
    const auto state = obj.GetPublished();
    ASSERT_TRUE(state);
    EXPECT_EQ(state->Subpage, -1);
    EXPECT_EQ(state->FrameNumber, 1u);
    EXPECT_EQ(state->Temperature_LowerLimit, 20.0);
    const auto pic = obj.GetPixs_Interpolation();
    ASSERT_EQ(pic->size(), 512u);
    EXPECT_EQ((*pic)[16 * 3 + 9][16 * 5 + 9].Temperature, 30.2);
}

TEST_F(LoadFixture, AllNegativeValuesGiveUpperLimitZero) {
    const std::string path = WriteTestFile("negative.txt", GridText([](int c, int r) {
                                               return std::to_string(-7.5 + 5.5 * (c + 32 * r) / 767.0);
                                           }));
    obj.LoadDatasFromTemperatureFile(path, ".");
    EXPECT_EQ(obj.GetTemperature_LowerLimit(), -8.0);
    EXPECT_EQ(obj.GetTemperature_UpperLimit(), 0.0);
}

TEST_F(LoadFixture, LimitsStayWhenAutomaticRangeIsOff) {
    obj.SetTemperature_UpLowAuto(false);
    obj.SetTemperature_LowerLimit(3.0);
    obj.SetTemperature_UpperLimit(4.0);
    obj.LoadDatasFromTemperatureFile(
        WriteTestFile("manual.txt", GridText([](int, int) { return std::string("50"); })), ".");
    EXPECT_EQ(obj.GetTemperature_LowerLimit(), 3.0);
    EXPECT_EQ(obj.GetTemperature_UpperLimit(), 4.0);
    EXPECT_EQ(obj.GetPublished()->Temperature_UpperLimit, 4.0);
}

TEST_F(LoadFixture, SeparatorRunsQuotesShortAndLongLines) {
    std::string text;
    // Line 0: 40 values separated by runs of spaces and tabs, some quoted.
    for (int c = 0; c < 40; ++c)
        text += (c % 3 == 0 ? " \t  " : " ") + std::string(c % 4 == 0 ? "\"" : "") + std::to_string(c) +
                (c % 4 == 0 ? "\"" : "");
    text += "\r\n";
    text += "1 2 3\r";  // a short line 1
    for (int r = 2; r < 24; ++r)
        text += "9\n";
    text += "not a number on line 25\n";
    obj.LoadDatasFromTemperatureFile(WriteTestFile("shapes.txt", text), ".");
    const TPixels grid = obj.GetPixs_Origin();
    for (int c = 0; c < 32; ++c)
        EXPECT_EQ(grid[c][0].Temperature, c);
    EXPECT_EQ(grid[2][1].Temperature, 3.0);
    EXPECT_EQ(grid[3][1].Temperature, 0.0);  // not reached: keeps its contents
    EXPECT_FALSE(grid[3][1].Useable);
    EXPECT_EQ(grid[0][23].Temperature, 9.0);
    EXPECT_FALSE(grid[1][23].Useable);
}

TEST_F(LoadFixture, BadValuePartWayKeepsEarlierPixelsOnly) {
    obj.LoadDatasFromTemperatureFile(
        WriteTestFile("base.txt", GridText([](int, int) { return std::string("10"); })), ".");
    obj.SetHaveNewDatas(false);
    const auto before = obj.GetPublished();
    // Replace value 4 (column 4) of line 2 by a word.
    std::string bad = GridText(
        [](int c, int r) { return (r == 2 && c == 4) ? std::string("warm") : std::to_string(60 + c + r); });
    try {
        obj.LoadDatasFromTemperatureFile(WriteTestFile("bad.txt", bad), ".");
        FAIL() << "no error";
    } catch (const TTemperatureFileError &e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("line 3"), std::string::npos) << what;
        EXPECT_NE(what.find("value 5"), std::string::npos) << what;
        EXPECT_NE(what.find("warm"), std::string::npos) << what;
    }
    // Limits and picture are not updated.
    EXPECT_FALSE(obj.GetHaveNewDatas());
    EXPECT_EQ(obj.GetPublished(), before);
    EXPECT_EQ(obj.GetTemperature_UpperLimit(), 10.0);
    // The pixels filled before the bad value show in the next picture: load a file
    // that reaches only line 0.
    obj.LoadDatasFromTemperatureFile(WriteTestFile("one.txt", "1 2\n"), ".");
    const TPixels grid = obj.GetPixs_Origin();
    EXPECT_EQ(grid[0][0].Temperature, 1.0);
    EXPECT_EQ(grid[5][1].Temperature, 60 + 5 + 1);
    EXPECT_EQ(grid[3][2].Temperature, 60 + 3 + 2);
    EXPECT_EQ(grid[4][2].Temperature, 10.0);
    EXPECT_EQ(grid[5][2].Temperature, 10.0);
}

TEST_F(LoadFixture, UnreadableFileChangesNothing) {
    EXPECT_THROW(obj.LoadDatasFromTemperatureFile((TestFolder() / "missing.txt").string(), "."),
                 TTemperatureFileError);
    EXPECT_FALSE(obj.GetPublished());
    EXPECT_FALSE(obj.GetHaveNewDatas());
    EXPECT_EQ(obj.GetTemperature_LowerLimit(), 0.0);
    EXPECT_EQ(obj.GetTemperature_UpperLimit(), 45.0);
}

TEST_F(LoadFixture, ValuesWithoutThirtyTwoBitLimitsStopBeforeThePicture) {
    EXPECT_THROW(obj.LoadDatasFromTemperatureFile(
                     WriteTestFile("huge.txt", GridText([](int, int) { return std::string("1e12"); })), "."),
                 TTemperatureFileError);
    EXPECT_FALSE(obj.GetPublished());
    EXPECT_EQ(obj.GetTemperature_UpperLimit(), 45.0);
    obj.SetTemperature_UpLowAuto(false);
    obj.LoadDatasFromTemperatureFile(WriteTestFile("two.txt", "7\n"), ".");
    EXPECT_EQ(obj.GetPixs_Origin()[1][0].Temperature, 1e12);  // filled before the error
}

TEST_F(LoadFixture, EncodingsAndLocaleSeparatorReadAlike) {
    const std::string ascii = GridText([](int c, int) { return std::to_string(c) + ",25"; }, " ", "\r\n");
    const std::string files[] = {WriteTestFile("comma.txt", ascii),
                                 WriteTestFile("comma8.txt", "\xEF\xBB\xBF" + ascii),
                                 WriteTestFile("comma16le.txt", Utf16(ascii, false)),
                                 WriteTestFile("comma16be.txt", Utf16(ascii, true))};
    for (const std::string &f : files) {
        TMLX90640 o;
        o.LoadDatasFromTemperatureFile(f, ",");
        const TPixels grid = o.GetPixs_Origin();
        EXPECT_EQ(grid[7][23].Temperature, 7.25) << f;
        EXPECT_EQ(grid[31][0].Temperature, 31.25) << f;
    }
    // The same file with "." as separator is not a temperature file.
    TMLX90640 o;
    EXPECT_THROW(o.LoadDatasFromTemperatureFile(files[0], "."), TTemperatureFileError);
}

TEST(SaveTemperatureFile, RoundTripIsExact) {
    std::mt19937_64 rng(17);
    std::uniform_real_distribution<double> dist(-40.0, 300.0);
    TPixels grid = MakePixels(32, 24);
    for (auto &column : grid)
        for (TPixel &px : column)
            px.Temperature = dist(rng);
    grid[0][0].Temperature = 1e-300;
    grid[1][0].Temperature = -0.0;
    grid[2][0].Temperature = 123456789012345678.0;
    for (const std::string sep : {".", ","}) {
        const std::string path = (TestFolder() / ("round" + sep + ".txt")).string();
        SaveTemperatureFile(path, grid, sep);
        TMLX90640 obj;
        obj.SetTemperature_UpLowAuto(false);  // 1.2e17 has no 32-bit colour limit
        obj.LoadDatasFromTemperatureFile(path, sep);
        const TPixels back = obj.GetPixs_Origin();
        for (int c = 0; c < 32; ++c)
            for (int r = 0; r < 24; ++r)
                ASSERT_EQ(back[c][r].Temperature, grid[c][r].Temperature) << c << " " << r;
        EXPECT_EQ(ReadTextLines(path).size(), 24u);
        EXPECT_EQ(SplitTemperatureLine(ReadTextLines(path)[5]).size(), 32u);
    }
}

TEST(SaveTemperatureFile, RefusesWhatCouldNotBeReadBack) {
    TPixels grid = MakePixels(32, 24);
    const std::string path = (TestFolder() / "refused.txt").string();
    grid[4][4].Temperature = std::nan("");
    EXPECT_THROW(SaveTemperatureFile(path, grid, "."), TTemperatureFileError);
    grid[4][4].Temperature = INFINITY;
    EXPECT_THROW(SaveTemperatureFile(path, grid, "."), TTemperatureFileError);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_THROW(SaveTemperatureFile(path, MakePixels(31, 24), "."), TTemperatureFileError);
    EXPECT_THROW(SaveTemperatureFile(path, MakePixels(32, 23), "."), TTemperatureFileError);
    EXPECT_THROW(SaveTemperatureFile(path, MakePixels(32, 24), " "), TTemperatureFileError);
    EXPECT_THROW(SaveTemperatureFile(path, MakePixels(32, 24), "e"), TTemperatureFileError);
    EXPECT_THROW(SaveTemperatureFile((TestFolder() / "no_dir" / "x.txt").string(), MakePixels(32, 24), "."),
                 TTemperatureFileError);
}

}  // namespace
