#include "pipeline/SysFun.h"

#include <stdexcept>
#include <string>

void GetPolyData_U(const TPointTable &originData, int32_t times, TPolyCoes &coes) {
    if (times < 2 || times > 4)
        times = 2;
    const size_t n = static_cast<size_t>(times);
    if (originData[0].size() < n || originData[1].size() < n)
        throw std::invalid_argument("GetPolyData_U: the point table holds fewer than " +
                                    std::to_string(times) + " points");
    const TDoubles &x = originData[0];
    double y[4] = {0.0, 0.0, 0.0, 0.0};
    for (size_t k = 0; k < n; ++k)
        y[k] = originData[1][k];
    const double x1 = x[1];
    const double x2 = n > 2 ? x[2] : 0.0;
    const double x3 = n > 3 ? x[3] : 0.0;
    double c[4];
    PolyCoefficients(times, x1, x2, x3, y, c);
    for (int k = 0; k < 4; ++k)
        coes[static_cast<size_t>(k)] = c[k];
}

namespace {

inline uint8_t ClampByte(int v) {
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Channel byte offsets within a pixel, in the order the effects process them:
// red (byte 2), green (byte 1), blue (byte 0).
constexpr int kChannelOrder[3] = {2, 1, 0};

}  // namespace

void Sharpen(TBitmap24 &bmp) {
    const int w = bmp.Width();
    const int h = bmp.Height();
    for (int y = 0; y < h; ++y) {
        uint8_t *row = bmp.ScanLine(y);
        const uint8_t *ref = bmp.ScanLine(y == 0 ? 0 : y - 1);
        for (int x = 0; x < w; ++x) {
            const int rx = x == 0 ? 0 : x - 1;
            for (int ch : kChannelOrder) {
                const int c = row[3 * x + ch];
                const int p = ref[3 * rx + ch];
                row[3 * x + ch] = ClampByte(c + (c - p) / 2);
            }
        }
    }
}

void Blur(TBitmap24 &bmp) {
    const int w = bmp.Width();
    const int h = bmp.Height();
    for (int y = 0; y < h; ++y) {
        const uint8_t *rows[3] = {bmp.ScanLine(y == 0 ? 0 : y - 1), bmp.ScanLine(y),
                                  bmp.ScanLine(y == h - 1 ? h - 1 : y + 1)};
        uint8_t *row = bmp.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const int cols[3] = {x == 0 ? 0 : x - 1, x, x == w - 1 ? w - 1 : x + 1};
            for (int ch : kChannelOrder) {
                int sum = 0;
                for (const uint8_t *r : rows)
                    for (int c : cols)
                        sum += r[3 * c + ch];
                row[3 * x + ch] = static_cast<uint8_t>(sum / 9);
            }
        }
    }
}

void Negative(TBitmap24 &bmp) {
    for (int y = 0; y < bmp.Height(); ++y) {
        uint8_t *row = bmp.ScanLine(y);
        for (int i = 0; i < 3 * bmp.Width(); ++i)
            row[i] = static_cast<uint8_t>(255 - row[i]);
    }
}

void Exposure(TBitmap24 &bmp) {
    for (int y = 0; y < bmp.Height(); ++y) {
        uint8_t *row = bmp.ScanLine(y);
        for (int i = 0; i < 3 * bmp.Width(); ++i)
            if (row[i] < 128)
                row[i] = static_cast<uint8_t>(255 - row[i]);
    }
}

int32_t RGBColorInverse(int32_t aColor) {
    auto inverse = [](int c) {
        const int d = c - (255 - c);
        return (d < 20 && d > -20) ? 255 : 255 - c;
    };
    const int r = inverse(aColor & 255);
    const int g = inverse((aColor >> 8) & 255);
    const int b = inverse((aColor >> 16) & 255);
    return b * 65536 + g * 256 + r;
}
