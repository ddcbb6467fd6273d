#pragma once
// Draws the target markers into the displayed picture: crosses first, then the
// texts, each text in the colour that stands out against the picture at its anchor
// as the picture looks at that moment (after the strokes and the texts already
// drawn). An anchor outside the picture reads as white, which gives black text.

#include "ui/liveview/TargetMarks.h"

#include <QImage>

#include <cstdint>
#include <vector>

// A cross of four arms of length h around Centre, in the colour word Color
// (0x00BBGGRR).
struct TMarkCross {
    TMarkPoint Centre;
    int32_t Color = 0;
};

// The largest character height drawn; a larger typed text height is drawn at this
// size (such a text covers far more than the picture anyway).
constexpr int kMaxMarkFontPixels = 2048;

// The colour word (0x00BBGGRR) of the picture at `at`; white outside the picture.
int32_t PictureColorAt(const QImage &picture, const TMarkPoint &at);

// Pen width 3, bold "微软雅黑" at TH pixels, texts without background.
void PaintTargetMarks(QImage &picture, const std::vector<TMarkCross> &crosses,
                      const std::vector<TMarkText> &texts, const TMarkParams &p);
