#pragma once
// Pixel record, pixel grids and the settings enumerations of the image pipeline.

#include <cstddef>
#include <cstdint>
#include <vector>

// Resizable array of unsigned 16-bit words: calibration and frame memories.
// The link layer declares the same alias.
using TUINT16s = std::vector<uint16_t>;

// One line of samples for the polynomial interpolation.
using TDoubles = std::vector<double>;

// One pixel of a grid. Plain value record; all fields start at 0 / false.
struct TPixel {
    int32_t X = 0;                 // column index in the grid that holds it
    int32_t Y = 0;                 // row index in that grid
    bool Useable = false;          // the pixel has been filled
    double Temperature = 0.0;      // °C; the relative image value in PXT_Image mode
    double GrayValue0 = 0.0;       // position inside the colour range, 0.0 .. 255.0
    int32_t ColorR = 0;            // red component of Color
    int32_t ColorG = 0;            // green component
    int32_t ColorB = 0;            // blue component
    int32_t Color = 0;             // colour word 0x00BBGGRR
    double TemperatureStep = 0.0;  // local variation written by the smoothing filter
};

inline bool operator==(const TPixel &a, const TPixel &b) {
    return a.X == b.X && a.Y == b.Y && a.Useable == b.Useable && a.Temperature == b.Temperature &&
           a.GrayValue0 == b.GrayValue0 && a.ColorR == b.ColorR && a.ColorG == b.ColorG &&
           a.ColorB == b.ColorB && a.Color == b.Color && a.TemperatureStep == b.TemperatureStep;
}

// A grid of pixels indexed [column][row]; every column has the same length.
using TPixels = std::vector<std::vector<TPixel>>;

// A grid of `columns` columns of `rows` pixels, every field 0 / false.
inline TPixels MakePixels(int columns, int rows) {
    return TPixels(static_cast<std::size_t>(columns < 0 ? 0 : columns),
                   std::vector<TPixel>(static_cast<std::size_t>(rows < 0 ? 0 : rows)));
}

// What a frame yields.
enum TPixType : uint8_t {
    PXT_Temp = 0,   // object temperatures
    PXT_Image = 1,  // relative infrared image
};

// Interpolation through 2, 3 or 4 neighbouring samples.
enum TInterMethod : uint8_t {
    IM_Poly1 = 0,
    IM_Poly2 = 1,
    IM_Poly3 = 2,
};

// How temperatures become colours; only CM_GrayColor and CM_ContinuColor colour.
enum TTempToColorConverMeth : uint8_t {
    CM_DenLayer = 0,
    CM_GrayColor = 1,
    CM_PixConver = 2,
    CM_CompColor = 3,
    CM_ContinuColor = 4,
};

// The ten palettes of GrayToPseColor.
enum TGrayColor_SubMeth : uint8_t {
    GCM_Pseudo1 = 0,
    GCM_Pseudo2 = 1,
    GCM_Metal1 = 2,
    GCM_Metal2 = 3,
    GCM_Rainbow1 = 4,
    GCM_Rainbow2 = 5,
    GCM_Rainbow3 = 6,
    GCM_Veska = 7,
    GCM_Toral = 8,
    GCM_Gray = 9,
};

// Saturation coefficient of the continuous colouring.
enum TContinuColor_K : uint8_t {
    CCK_1_5 = 0,
    CCK_1_2 = 1,
    CCK_1_0 = 2,
    CCK_0_8 = 3,
    CCK_0_5 = 4,
    CCK_0_3 = 5,
    CCK_0_2 = 6,
    CCK_0_1 = 7,
};

// Number of interpolation points of a method: IM_Poly1 2, IM_Poly2 3, IM_Poly3 4.
// A value outside the enumeration counts as 2 points, as GetPolyData_U does.
inline int32_t InterMethodPoints(TInterMethod method) {
    const int points = static_cast<int>(method) + 2;
    return (points >= 2 && points <= 4) ? points : 2;
}
