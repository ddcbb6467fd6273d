#pragma once
// The per-frame scan of the sensor image object (sensor values -> 32 x 24 grid
// with mirroring, temporal smoothing, minimum, maximum and mean) and the rules of
// the automatic colour range.

#include "pipeline/PixelTypes.h"

// Statistics of one scan.
struct TFrameScan {
    TPixel MinPix;                // coldest pixel record, first in scan order among equals
    TPixel MaxPix;                // hottest pixel record, likewise
    double TemperatureAvg = 0.0;  // sum of the pixel temperatures / (columns * rows)
};

// Scans `temps` (index columns * row + column, row-major) row by row into
// `origin` ([column][row], columns x rows). A value that is not a number becomes
// -100.0 in `temps` first. With `mirror` sensor column i lands in grid column
// columns - 1 - i. With `slugg` each pixel shows new when |new - last| >= 3,
// otherwise last + (new - last) / 3, and `last` takes the raw new value; without it
// `last` is untouched. The min / max records are copies of the pixel as it stood
// at the comparison (colour fields from the previous colouring).
TFrameScan ScanFrame(double *temps, double *last, TPixels &origin, int columns, int rows, bool mirror,
                     bool slugg);

// Rounds a value down to a whole number and then down to a multiple of 5 when the
// remainder of the division by 5 (sign of the dividend) is positive: 23.4 -> 20,
// -3.2 -> -4. Returns false, leaving `limit` alone, when floor(value) is not a
// 32-bit integer (infinities, NaN, huge values).
bool LowerLimitFor(double value, double &limit);
// Rounds up to a whole number and then up to a multiple of 5 when the remainder is
// positive: 36.2 -> 40, 0 -> 0. Returns false like LowerLimitFor.
bool UpperLimitFor(double value, double &limit);

// AutoLowUp for one frame: the lower limit moves to LowerLimitFor(minTemp) when
// minTemp is below it or more than 5 above it; the upper limit to
// UpperLimitFor(maxTemp) when maxTemp is above it or more than 5 below it.
// Returns true when a limit changed.
bool AutoLowUpLimits(double minTemp, double maxTemp, double &lower, double &upper);
