#include "sim/SimScene.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;

// 1 inside, 0 outside, a soft edge about one pixel wide around distance 1.
double Cover(double normalisedDistance) {
    const double x = (normalisedDistance - 0.85) / 0.3;
    if (x <= 0)
        return 1;
    if (x >= 1)
        return 0;
    return 1 - x * x * (3 - 2 * x);
}

double Ellipse(double row, double col, double centreRow, double centreCol, double halfHeight,
               double halfWidth) {
    const double dr = (row - centreRow) / halfHeight;
    const double dc = (col - centreCol) / halfWidth;
    return Cover(std::sqrt(dr * dr + dc * dc));
}

void RenderRoom(double t, double *out) {
    // A person walks across the field and back every 14 seconds.
    const double x = 15.5 + 13.5 * std::sin(2 * kPi * t / 14.0);
    const double sway = 0.4 * std::sin(2 * kPi * t / 0.9);
    for (int row = 0; row < 24; ++row) {
        for (int col = 0; col < 32; ++col) {
            // Walls a little warmer near the ceiling, a cooler floor, a cold window.
            double v = 22.6 - 1.2 * row / 23.0;
            if (row >= 20)
                v = 20.4;
            if (row >= 3 && row <= 8 && col >= 24 && col <= 29)
                v = 14.5;
            // Radiator under the window.
            if (row >= 15 && row <= 17 && col >= 23 && col <= 30)
                v = 41.0;

            const double body = Ellipse(row, col, 14.0, x + sway * 0.3, 7.5, 3.2);
            v += (30.5 - v) * body;
            const double head = Ellipse(row, col, 4.5, x + sway * 0.5, 2.3, 1.9);
            v += (34.6 - v) * head;

            // A mug of hot tea on a table: a small hot spot.
            const double dr = row - 16.0, dc = col - 5.0;
            v += (78.0 - v) * std::exp(-(dr * dr + dc * dc) / 0.8);
            out[32 * row + col] = v;
        }
    }
}

}  // namespace

bool TScene::Parse(const std::string &spec, TScene &scene, std::string *error) {
    if (spec == "room") {
        scene.fKind = TKind::Room;
        return true;
    }
    if (spec == "ramp") {
        scene.fKind = TKind::Ramp;
        return true;
    }
    if (spec == "hotspot") {
        scene.fKind = TKind::HotSpot;
        return true;
    }
    if (spec.rfind("uniform:", 0) == 0) {
        const std::string number = spec.substr(8);
        char *end = nullptr;
        const double level = std::strtod(number.c_str(), &end);
        if (!number.empty() && end && *end == 0 && std::isfinite(level) && level >= -40 && level <= 400) {
            scene.fKind = TKind::Uniform;
            scene.fLevel = level;
            return true;
        }
        if (error)
            *error = "uniform scene needs a temperature between -40 and 400 °C, e.g. uniform:25";
        return false;
    }
    if (error)
        *error = "unknown scene '" + spec + "' (room, uniform:T, ramp, hotspot)";
    return false;
}

void TScene::Render(double seconds, double *out) const {
    switch (fKind) {
    case TKind::Room: RenderRoom(seconds, out); break;
    case TKind::Uniform:
        for (int p = 0; p < 768; ++p)
            out[p] = fLevel;
        break;
    case TKind::Ramp:
        for (int p = 0; p < 768; ++p)
            out[p] = -20.0 + 320.0 * p / 767.0;
        break;
    case TKind::HotSpot:
        for (int p = 0; p < 768; ++p)
            out[p] = 22.0;
        for (int p : {32 * 11 + 15, 32 * 11 + 16, 32 * 12 + 15, 32 * 12 + 16})
            out[p] = 150.0;
        break;
    }
}

double TScene::Ambient(double seconds) const {
    if (!Moving())
        return 25.0;
    // The sensor warms up after power-on.
    return 27.0 + 4.0 * (1 - std::exp(-seconds / 240.0));
}

double TScene::Supply(double seconds) const {
    if (!Moving())
        return 3.3;
    return 3.3 + 0.004 * std::sin(seconds * 0.7);
}
