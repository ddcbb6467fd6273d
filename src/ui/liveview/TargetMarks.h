#pragma once
// Geometry of the target markers drawn over the live picture: the marker size and
// text height typed into the window, where each sensor pixel's mark lies in the
// 512 x 384 picture, and where each value and name text is anchored.
//
// Coordinates are picture pixels, (0, 0) at the top-left corner. They are 64-bit:
// the marker size and text height are whatever the user typed, so arm lengths and
// text widths may be far larger than the picture; nothing here overflows, and
// whatever falls outside the picture is simply not seen.

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct TMarkParams {
    int64_t h = 12;    // arm length of a cross: the target size / 2, truncated
    int64_t TH = 24;   // text height in pixels
    int64_t TH2 = 12;  // estimated width of one character: TH / 2, truncated
};

// From the texts of edt_TargetSize and edt_TextHeight: a text that is not an
// integer gives the arm length 12 or the text height 24.
TMarkParams MarkParamsFromTexts(const QString &targetSizeText, const QString &textHeightText);

struct TMarkPoint {
    int64_t x = 0;
    int64_t y = 0;
    friend bool operator==(const TMarkPoint &a, const TMarkPoint &b) { return a.x == b.x && a.y == b.y; }
};

// The centre of the picture, where the centre pixel [15][12] is marked.
constexpr TMarkPoint kCentreMark{255, 191};

// The mark of sensor pixel (column, row): (16 column + 9, 16 row + 9).
TMarkPoint SensorMarkPoint(int32_t column, int32_t row);

// One text to draw and its top-left corner.
struct TMarkText {
    QString Text;
    TMarkPoint Anchor;
};

// What the texts are made of. Value texts are already formatted (with or without
// the unit); the names are chosen by the language.
struct TMarkTextInputs {
    TMarkPoint MinMark;                // A
    TMarkPoint MaxMark;                // B
    std::optional<TMarkPoint> Cursor;  // the cursor, when it has a readout
    QString CursorValue, MinValue, MaxValue, CentreValue;
    bool ShowNames = false;   // chk_ShowTarget_Text
    int32_t LanguageNum = 1;  // 0 Chinese, otherwise English
};

// The texts in drawing order: the cursor value (when there is a cursor), the
// minimum, maximum and centre values, then, when names are shown, "Min", "Max",
// "Center" and (with a cursor) "Mouse". Value texts sit beside their mark on the
// side facing the picture's centre; names above or below the mark. A text's width
// is estimated as its length in UTF-16 characters times TH2.
std::vector<TMarkText> TargetTexts(const TMarkTextInputs &in, const TMarkParams &p);
