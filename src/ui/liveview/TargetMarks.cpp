#include "ui/liveview/TargetMarks.h"

#include "ui/support/Convert.h"
#include "ui/support/TextCatalogue.h"

namespace {

// A text's estimated width: its length in UTF-16 characters times TH2.
int64_t TextWidth(const QString &text, const TMarkParams &p) {
    return int64_t(text.size()) * p.TH2;
}

// A value text beside its mark, on the side facing the picture's centre.
int64_t ValueX(int64_t markX, int64_t switchX, const QString &text, const TMarkParams &p) {
    return markX < switchX ? markX + p.h + 4 : markX - p.h - 4 - TextWidth(text, p);
}

// A name centred over its mark (integer division truncates toward zero).
int64_t NameX(int64_t markX, const QString &text, const TMarkParams &p) {
    return markX - TextWidth(text, p) / 2;
}

TMarkText ExtremeValue(const TMarkPoint &mark, const QString &text, const TMarkParams &p) {
    return {text, {ValueX(mark.x, 256, text, p), mark.y < 192 ? mark.y : mark.y - p.TH}};
}

// Below the mark in the upper half of the picture, above it in the lower half.
TMarkText ExtremeName(const TMarkPoint &mark, const QString &text, const TMarkParams &p) {
    return {text, {NameX(mark.x, text, p), mark.y < 192 ? mark.y + p.h + 4 : mark.y - p.h - p.TH - 4}};
}

}  // namespace

TMarkParams MarkParamsFromTexts(const QString &targetSizeText, const QString &textHeightText) {
    TMarkParams p;
    int32_t size = 0;
    p.h = TryStrToInt(targetSizeText, size) ? int64_t(size) / 2 : 12;
    int32_t height = 0;
    p.TH = TryStrToInt(textHeightText, height) ? int64_t(height) : 24;
    p.TH2 = p.TH / 2;
    return p;
}

TMarkPoint SensorMarkPoint(int32_t column, int32_t row) {
    return {16 * int64_t(column) + 9, 16 * int64_t(row) + 9};
}

std::vector<TMarkText> TargetTexts(const TMarkTextInputs &in, const TMarkParams &p) {
    std::vector<TMarkText> texts;
    if (in.Cursor)
        texts.push_back(
            {in.CursorValue, {ValueX(in.Cursor->x, 400, in.CursorValue, p), in.Cursor->y - p.TH}});
    texts.push_back(ExtremeValue(in.MinMark, in.MinValue, p));
    texts.push_back(ExtremeValue(in.MaxMark, in.MaxValue, p));
    texts.push_back({in.CentreValue, {kCentreMark.x + p.h + 4, kCentreMark.y}});
    if (!in.ShowNames)
        return texts;
    texts.push_back(ExtremeName(in.MinMark, Tr(TText::MarkMin, in.LanguageNum), p));
    texts.push_back(ExtremeName(in.MaxMark, Tr(TText::MarkMax, in.LanguageNum), p));
    const QString centre = Tr(TText::MarkCentre, in.LanguageNum);
    texts.push_back({centre, {NameX(kCentreMark.x, centre, p), kCentreMark.y - p.h - p.TH - 4}});
    if (in.Cursor) {
        const QString mouse = Tr(TText::MarkMouse, in.LanguageNum);
        texts.push_back({mouse, {NameX(in.Cursor->x, mouse, p), in.Cursor->y - p.h - p.TH - 4}});
    }
    return texts;
}
