// The JPEG writer, checked by decoding its files with libjpeg.
#include "pipeline/JpegWriter.h"
#include "pipeline/TestFiles.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Decoded {
    int width = 0, height = 0, components = 0;
    bool progressive = true;
    std::vector<uint8_t> rgb;
    int R(int x, int y) const { return rgb[3 * (y * width + x)]; }
    int G(int x, int y) const { return rgb[3 * (y * width + x) + 1]; }
    int B(int x, int y) const { return rgb[3 * (y * width + x) + 2]; }
};

Decoded Decode(const std::string &path) {
    Decoded d;
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return d;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    d.width = static_cast<int>(cinfo.output_width);
    d.height = static_cast<int>(cinfo.output_height);
    d.components = cinfo.num_components;
    d.progressive = cinfo.progressive_mode;
    d.rgb.resize(static_cast<size_t>(3) * d.width * d.height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = d.rgb.data() + 3 * static_cast<size_t>(cinfo.output_scanline) * d.width;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return d;
}

// 64 x 48 picture in four quadrants: red, green / blue, white; rows padded.
std::vector<uint8_t> Quadrants(bool bgr, int stride) {
    std::vector<uint8_t> px(static_cast<size_t>(stride) * 48, 0xEE);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            int r = 0, g = 0, b = 0;
            if (y < 24)
                (x < 32 ? r : g) = 255;
            else if (x < 32)
                b = 255;
            else
                r = g = b = 255;
            uint8_t *p = px.data() + y * stride + 3 * x;
            p[0] = static_cast<uint8_t>(bgr ? b : r);
            p[1] = static_cast<uint8_t>(g);
            p[2] = static_cast<uint8_t>(bgr ? r : b);
        }
    return px;
}

void ExpectQuadrants(const Decoded &d) {
    ASSERT_EQ(d.width, 64);
    ASSERT_EQ(d.height, 48);
    EXPECT_EQ(d.components, 3);
    EXPECT_FALSE(d.progressive);
    auto near = [](int v, int want) { return std::abs(v - want) <= 8; };
    EXPECT_TRUE(near(d.R(8, 8), 255) && near(d.G(8, 8), 0) && near(d.B(8, 8), 0));
    EXPECT_TRUE(near(d.R(50, 8), 0) && near(d.G(50, 8), 255) && near(d.B(50, 8), 0));
    EXPECT_TRUE(near(d.R(8, 40), 0) && near(d.G(8, 40), 0) && near(d.B(8, 40), 255));
    EXPECT_TRUE(near(d.R(50, 40), 255) && near(d.G(50, 40), 255) && near(d.B(50, 40), 255));
}

TEST(JpegWriter, RgbAndBgrInputDecodeToTheSameColours) {
    const int stride = 64 * 3 + 5;
    for (bool bgr : {false, true}) {
        const std::string path = (TestFolder() / (bgr ? "bgr.jpg" : "rgb.jpg")).string();
        std::string error = "untouched";
        ASSERT_TRUE(WriteJpeg(path, Quadrants(bgr, stride).data(), 64, 48, stride, bgr, 100, &error));
        EXPECT_EQ(error, "untouched");
        ExpectQuadrants(Decode(path));
    }
}

TEST(JpegWriter, ReplacesAnExistingFile) {
    const std::string path = WriteTestFile("replace.jpg", std::string(100000, 'x'));
    ASSERT_TRUE(WriteJpeg(path, Quadrants(false, 192).data(), 64, 48, 192, false));
    ExpectQuadrants(Decode(path));
}

TEST(JpegWriter, FailuresAreReportedAndLeaveNoFile) {
    const std::vector<uint8_t> px = Quadrants(false, 192);
    std::string error;
    EXPECT_FALSE(WriteJpeg((TestFolder() / "missing_dir" / "a.jpg").string(), px.data(), 64, 48, 192, false,
                           100, &error));
    EXPECT_NE(error.find("missing_dir"), std::string::npos) << error;
    const std::string path = (TestFolder() / "bad.jpg").string();
    EXPECT_FALSE(WriteJpeg(path, px.data(), 0, 48, 192, false));
    EXPECT_FALSE(WriteJpeg(path, px.data(), 64, -1, 192, false));
    EXPECT_FALSE(WriteJpeg(path, px.data(), 64, 48, 100, false, 100, &error));  // stride < row
    EXPECT_FALSE(WriteJpeg(path, nullptr, 64, 48, 192, false));
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
