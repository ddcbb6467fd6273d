#pragma once
// The analysis drawn into the displayed picture, the way the target markers are: the
// isotherm's pixels in one highlight colour (before the markers), then the regions -
// outline, number and the maximum at its hottest point - and, while the alarm is
// raised, a red frame around the picture.

#include <QColor>
#include <QImage>

class TAnalysis;
struct TPictureValues;

// The isotherm's highlight colour and the alarm frame's colour and width.
inline const QColor kIsothermColor{0, 255, 255};
inline const QColor kAlarmFrameColor{255, 0, 0};
constexpr int kAlarmFrameWidth = 4;

// The pixels of `values` inside [low, high] in the highlight colour; nothing when the
// picture's size is not that of the values. The picture becomes 32-bit RGB.
void PaintIsothermOver(QImage &picture, const TPictureValues &values, double low, double high);

// Every region of `analysis` with its number and, once measured, its maximum as
// "0.0" (with "℃" when `absolute`) at its hottest pixel; the selected one in yellow.
void PaintRegions(QImage &picture, const TAnalysis &analysis, bool absolute);

void PaintAlarmFrame(QImage &picture);
