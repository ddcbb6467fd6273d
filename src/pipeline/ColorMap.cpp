#include "pipeline/ColorMap.h"

#include "pipeline/SysFun.h"

#include <cmath>
#include <numbers>

namespace {

inline int Rnd(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

inline int32_t Word(int r, int g, int b) {
    return b * 65536 + g * 256 + r;
}

inline int Clamp255(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// rnd(a / b * c), the quotient computed first.
inline int Scaled(double a, double b, double c) {
    return Rnd(a / b * c);
}

void Pseudo2(int g, int &r, int &gr, int &b) {
    if (g <= 63) {
        r = 0;
        gr = 0;
        b = Scaled(g, 64, 255);
    } else if (g <= 127) {
        r = 0;
        gr = Scaled(g - 64, 64, 255);
        b = Scaled(127 - g, 64, 255);
    } else if (g <= 191) {
        r = Scaled(g - 128, 64, 255);
        gr = 255;
        b = 0;
    } else {
        r = 255;
        gr = Scaled(255 - g, 64, 255);
        b = 0;
    }
}

void Rainbow1(int g, int &r, int &gr, int &b) {
    if (g <= 31) {
        r = 0;
        gr = 0;
        b = Scaled(g, 32, 255);
    } else if (g <= 63) {
        r = 0;
        gr = Scaled(g - 32, 32, 255);
        b = 255;
    } else if (g <= 95) {
        r = 0;
        gr = 255;
        b = Scaled(95 - g, 32, 255);
    } else if (g <= 127) {
        r = Scaled(g - 96, 32, 255);
        gr = 255;
        b = 0;
    } else if (g <= 191) {
        r = 255;
        gr = Scaled(191 - g, 64, 255);
        b = 0;
    } else {
        r = 255;
        gr = Scaled(g - 192, 64, 255);
        b = gr;
    }
}

}  // namespace

double GrayValueOf(double t, double lower, double upper) {
    if (t <= lower)
        return 0.0;
    if (t >= upper)
        return 255.0;
    return (t - lower) / (upper - lower) * 255.0;
}

int32_t GrayToPseColor(TGrayColor_SubMeth converMethod, int32_t grayValue) {
    const int g = Clamp255(grayValue);
    int r = 0, gr = 0, b = 0;
    switch (converMethod) {
    case GCM_Pseudo1:
        r = g;
        gr = std::abs(127 - g);
        b = 255 - g;
        break;
    case GCM_Pseudo2: Pseudo2(g, r, gr, b); break;
    case GCM_Metal1:
        if (g <= 63) {
            r = 0;
            gr = 0;
            b = Scaled(g, 64, 255);
        } else if (g <= 95) {
            r = Scaled(g - 63, 32, 127);
            gr = r;
            b = 255;
        } else if (g <= 127) {
            r = Scaled(g - 95, 32, 127) + 128;
            gr = r;
            b = Scaled(127 - g, 32, 255);
        } else if (g <= 191) {
            r = 255;
            gr = 255;
            b = 0;
        } else {
            r = 255;
            gr = 255;
            b = Scaled(g - 192, 64, 255);
        }
        break;
    case GCM_Metal2:
        r = g <= 16 ? 0 : (g <= 140 ? Scaled(g - 16, 124, 255) : 255);
        gr = g <= 101 ? 0 : (g <= 218 ? Scaled(g - 101, 117, 255) : 255);
        if (g <= 91)
            b = Scaled(g, 91, 100) + 28;
        else if (g <= 120)
            b = Scaled(120 - g, 29, 128);
        else if (g <= 214)
            b = 0;
        else
            b = Scaled(g - 214, 41, 255);
        break;
    case GCM_Rainbow1: Rainbow1(g, r, gr, b); break;
    case GCM_Rainbow2:
        if (g <= 63) {
            r = 0;
            gr = Scaled(g, 64, 255);
            b = 255;
        } else {
            Rainbow1(g, r, gr, b);
        }
        break;
    case GCM_Rainbow3:
        if (g <= 51) {
            r = 0;
            gr = 5 * g;
            b = 255;
        } else if (g <= 102) {
            r = 0;
            gr = 255;
            b = 255 - 5 * (g - 51);
        } else if (g <= 153) {
            r = 5 * (g - 102);
            gr = 255;
            b = 0;
        } else if (g <= 204) {
            r = 255;
            gr = Rnd(255.0 - static_cast<double>((g - 153) * 128) / 51.0);
            b = 0;
        } else {
            r = 255;
            gr = Rnd(127.0 - static_cast<double>((g - 204) * 127) / 51.0);
            b = 0;
        }
        break;
    case GCM_Veska:
        if (g <= 63) {
            r = 0;
            gr = Scaled(64 - g, 64, 255);
            b = 255;
        } else {
            Pseudo2(g, r, gr, b);
        }
        break;
    case GCM_Toral:
        if (g <= 63) {
            r = 0;
            gr = 254 - 4 * g;
            b = 255;
        } else if (g <= 127) {
            r = 0;
            gr = 4 * g - 254;
            b = 510 - 4 * g;
        } else if (g <= 191) {
            r = 4 * g - 510;
            gr = 255;
            b = 0;
        } else {
            r = 255;
            gr = 1022 - 4 * g;
            b = 0;
        }
        break;
    case GCM_Gray: r = gr = b = g; break;
    default: return 0;
    }
    return Word(r, gr, b);
}

double ContinuColorCoefficient(TContinuColor_K k) {
    switch (k) {
    case CCK_1_5: return 1.5;
    case CCK_1_2: return 1.2;
    case CCK_1_0: return 1.0;
    case CCK_0_8: return 0.8;
    case CCK_0_5: return 0.5;
    case CCK_0_3: return 0.3;
    case CCK_0_2: return 0.2;
    case CCK_0_1: return 0.1;
    }
    return 1.0;
}

int32_t GrayToContinuColor(TContinuColor_K converCoeK, int32_t grayValue, int32_t classNum) {
    const int g = Clamp255(grayValue);
    const double k = ContinuColorCoefficient(converCoeK);
    const double i = g;
    const double h = static_cast<double>(g * 360) / 255.0;
    double r, gr, b;
    if (classNum == 1) {
        // Intensity-opponent form.
        const double s = g <= 127 ? g * k : (256 - g) * k;
        const double a = 3.14159 * h / 180.0;
        const double v1 = std::cos(a) * s;
        const double v2 = std::sin(a) * s;
        r = i - 0.204124 * v1 + 0.612372 * v2;
        gr = i + 0.204124 * v1 - 0.612372 * v2;
        b = i + 0.408248 * v1;
    } else {
        // Sector form of the hue-saturation-intensity model.
        double s;
        if (classNum == 2)
            s = g <= 127 ? g * k / 127.0 : (255 - g) * k / 128.0;
        else
            s = g * k / 255.0;
        const double degree = std::numbers::pi / 180.0;
        auto cosd = [degree](double x) { return std::cos(x * degree); };
        const double sqrt3 = std::sqrt(3.0);
        const double q = i / sqrt3;
        if (h < 120.0) {
            b = q * (1.0 - s);
            r = q * (1.0 + s * cosd(h) / cosd(60.0 - h));
            gr = sqrt3 * i - r - b;
        } else if (h < 240.0) {
            r = q * (1.0 - s);
            gr = q * (1.0 + s * cosd(h - 120.0) / cosd(180.0 - h));
            b = sqrt3 * i - r - gr;
        } else {
            gr = q * (1.0 - s);
            b = q * (1.0 + s * cosd(h - 240.0) / cosd(300.0 - h));
            r = sqrt3 * i - gr - b;
        }
    }
    return Word(Clamp255(Rnd(r)), Clamp255(Rnd(gr)), Clamp255(Rnd(b)));
}

TColorTable BuildColorTable(const TColorScheme &scheme) {
    TColorTable table;
    if (scheme.Method == CM_GrayColor) {
        table.Produces = true;
        for (int g = 0; g < 256; ++g)
            table.Words[g] = GrayToPseColor(scheme.Palette, g);
    } else if (scheme.Method == CM_ContinuColor) {
        table.Produces = true;
        for (int g = 0; g < 256; ++g)
            table.Words[g] = GrayToContinuColor(scheme.Coefficient, g, scheme.ClassNum);
    }
    return table;
}

void ColorPixel(TPixel &px, double lower, double upper, const TColorTable &table) {
    px.GrayValue0 = GrayValueOf(px.Temperature, lower, upper);
    if (std::isnan(px.GrayValue0))
        return;
    if (table.Produces) {
        const int g = static_cast<int>(RoundHalfEven(px.GrayValue0));
        px.Color = table.Words[g < 0 ? 0 : (g > 255 ? 255 : g)];
    }
    px.ColorR = px.Color & 255;
    px.ColorG = (px.Color >> 8) & 255;
    px.ColorB = (px.Color >> 16) & 255;
}
