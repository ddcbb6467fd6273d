#pragma once
// Regions drawn on the picture: a box, a line or a spot, in picture pixels
// (0, 0 at the top-left corner), and the pixels each one covers.

#include <algorithm>
#include <cstdlib>
#include <string>

enum TRegionKind { RK_Box, RK_Line, RK_Spot };

struct TRegionPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TRegionPoint &, const TRegionPoint &) = default;
};

// A box spans the corners A and B (both included, in either order); a line runs from
// A to B; a spot is the pixel A.
struct TRegion {
    TRegionKind Kind = RK_Box;
    TRegionPoint A;
    TRegionPoint B;
    std::string Name;
};

// The part of a box inside a picture of width x height, corners included; empty
// (x0 > x1 or y0 > y1) when the box lies outside it.
struct TBoxSpan {
    int x0, y0, x1, y1;
};
inline TBoxSpan ClampedBox(const TRegion &box, int width, int height) {
    return {std::max(0, std::min(box.A.x, box.B.x)), std::max(0, std::min(box.A.y, box.B.y)),
            std::min(width - 1, std::max(box.A.x, box.B.x)),
            std::min(height - 1, std::max(box.A.y, box.B.y))};
}

// Calls f(x, y) once for each pixel of the region that lies inside a picture of
// width x height, in order: a box row by row from its top-left corner, a line from
// A to B (Bresenham), a spot once.
template <class F>
void ForEachRegionPixel(const TRegion &region, int width, int height, F &&f) {
    const auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < width && y < height; };
    switch (region.Kind) {
    case RK_Spot:
        if (inside(region.A.x, region.A.y))
            f(region.A.x, region.A.y);
        return;
    case RK_Box: {
        const TBoxSpan b = ClampedBox(region, width, height);
        for (int y = b.y0; y <= b.y1; ++y)
            for (int x = b.x0; x <= b.x1; ++x)
                f(x, y);
        return;
    }
    case RK_Line: {
        // Integer Bresenham over all octants; every step moves to a neighbouring pixel,
        // so no pixel is visited twice.
        long x = region.A.x, y = region.A.y;
        const long x1 = region.B.x, y1 = region.B.y;
        const long dx = std::labs(x1 - x), dy = -std::labs(y1 - y);
        const long sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
        long err = dx + dy;
        for (;;) {
            if (inside(int(x), int(y)))
                f(int(x), int(y));
            if (x == x1 && y == y1)
                return;
            const long e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }
    }
}

// The kind's short name as stored ("box", "line", "spot").
const char *RegionKindName(TRegionKind kind);
