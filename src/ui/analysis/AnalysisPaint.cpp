#include "ui/analysis/AnalysisPaint.h"

#include "analysis/Isotherm.h"
#include "pipeline/PictureGrid.h"
#include "ui/analysis/Analysis.h"
#include "ui/liveview/LiveViewTexts.h"
#include "ui/support/Fonts.h"

#include <QHash>
#include <QPainter>
#include <QPen>

namespace {

constexpr int kCrossSpan = 17;  // the cross and its outline fit well inside

// Labels and marks are drawn once per shown frame for up to eight regions, which made
// laying out their texts and stroking their thick outlines a good part of a refresh.
// Each label (its text on a dark plate) and the hottest-point cross are therefore
// drawn once into a small image and then copied; the outlines of boxes and spots are
// filled as bands. The result is the same pixels as drawing them each time.

const QFont &LabelFont() {
    static const QFont font = WindowFont(13, true);
    return font;
}

// Texts on their plates, by text and colour. Temperatures repeat, so a few hundred
// cover a session; the cache starts again when it grows past that.
class TLabelSprites {
public:
    struct TSprite {
        QImage Image;
        QPoint Offset;  // of the image's corner from the text's baseline start
        int TextWidth = 0;
    };
    const TSprite &Get(const QString &text, QRgb color) {
        const QString key = text + QLatin1Char('\x1f') + QString::number(color, 16);
        auto found = fSprites.constFind(key);
        if (found != fSprites.constEnd())
            return *found;
        if (fSprites.size() >= kMaxSprites)
            fSprites.clear();
        const QFontMetrics fm(LabelFont());
        TSprite sprite;
        sprite.TextWidth = fm.horizontalAdvance(text);
        sprite.Offset = QPoint(-2, -fm.ascent() - 1);
        sprite.Image = QImage(sprite.TextWidth + 4, fm.height() + 2, QImage::Format_RGB32);
        sprite.Image.fill(QColor(0, 0, 0));
        QPainter p(&sprite.Image);
        p.setFont(LabelFont());
        p.setPen(QColor(color));
        p.drawText(-sprite.Offset, text);
        return *fSprites.insert(key, sprite);
    }

private:
    static constexpr qsizetype kMaxSprites = 512;
    QHash<QString, TSprite> fSprites;
};

TLabelSprites &LabelSprites() {
    static TLabelSprites sprites;
    return sprites;
}

// The text on a dark plate, readable on any palette; `at` is its baseline's start.
void DrawLabel(QPainter &p, const QPoint &at, const TLabelSprites::TSprite &sprite) {
    p.drawImage(at + sprite.Offset, sprite.Image);
}
void DrawLabel(QPainter &p, const QPoint &at, const QString &text, const QColor &color) {
    DrawLabel(p, at, LabelSprites().Get(text, color.rgb()));
}

// A black 3-pixel band under a 1-pixel line of `color` along the edge of `box`, as a
// 3- and a 1-pixel pen with square caps and miter joins stroke it: the line runs
// along the box's left and top pixels and one pixel past its right and bottom ones.
void FillOutline(QPainter &p, const QRect &box, const QColor &color) {
    const auto band = [&](const QRect &outer, int width, const QColor &c) {
        p.fillRect(QRect(outer.left(), outer.top(), outer.width(), width), c);
        p.fillRect(QRect(outer.left(), outer.bottom() - width + 1, outer.width(), width), c);
        p.fillRect(QRect(outer.left(), outer.top() + width, width, outer.height() - 2 * width), c);
        p.fillRect(QRect(outer.right() - width + 1, outer.top() + width, width, outer.height() - 2 * width),
                   c);
    };
    const QRect line(box.topLeft(), box.size() + QSize(1, 1));
    band(line.adjusted(-1, -1, 1, 1), 3, QColor(0, 0, 0));
    band(line, 1, color);
}

// The same two strokes for a line.
void DrawOutlinedLine(QPainter &p, const QPoint &a, const QPoint &b, const QColor &color) {
    p.setPen(QPen(QColor(0, 0, 0), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawLine(a, b);
    p.setPen(QPen(color, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawLine(a, b);
}

// The hottest point's cross, drawn once around the centre of a small clear image.
const QImage &MaxCross() {
    static const QImage cross = [] {
        QImage image(kCrossSpan, kCrossSpan, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        const QPoint m(kCrossSpan / 2, kCrossSpan / 2);
        // Both strokes in black first, then both in colour.
        for (const QPen &pen : {QPen(QColor(0, 0, 0), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin),
                                QPen(QColor(255, 64, 64), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)}) {
            p.setPen(pen);
            p.drawLine(m - QPoint(4, 4), m + QPoint(4, 4));
            p.drawLine(m - QPoint(4, -4), m + QPoint(4, -4));
        }
        return image;
    }();
    return cross;
}

}  // namespace

void PaintIsothermOver(QImage &picture, const TPictureValues &values, double low, double high) {
    if (picture.isNull() || picture.width() != values.Width || picture.height() != values.Height)
        return;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    PaintIsotherm(values, low, high, kIsothermColor.rgb(), reinterpret_cast<uint32_t *>(picture.bits()),
                  picture.bytesPerLine() / 4);
}

void PaintRegions(QImage &picture, const TAnalysis &analysis, bool absolute) {
    if (picture.isNull() || analysis.RegionCount() == 0)
        return;
    QPainter p(&picture);
    for (int slot = 0; slot < TAnalysis::kMaxRegions; ++slot) {
        if (!analysis.HasRegion(slot))
            continue;
        const TRegion &r = *analysis.Region(slot);
        const QColor color = slot == analysis.Selected() ? QColor(255, 255, 0) : QColor(255, 255, 255);
        const QPoint a(r.A.x, r.A.y), b(r.B.x, r.B.y);
        QPoint numberAt;
        switch (r.Kind) {
        case RK_Box: {
            const QRect box = QRect(a, b).normalized();
            FillOutline(p, box, color);
            numberAt = box.topLeft() + QPoint(4, 15);
            break;
        }
        case RK_Line:
            DrawOutlinedLine(p, a, b, color);
            numberAt = a + QPoint(6, -6);
            break;
        case RK_Spot:
            FillOutline(p, QRect(a - QPoint(4, 4), QSize(9, 9)), color);
            numberAt = a + QPoint(8, -8);
            break;
        }
        DrawLabel(p, numberAt, QString::number(slot + 1), color);

        const TRegionStats &s = analysis.Stats(slot);
        if (!s.Valid || r.Kind == RK_Spot) {
            if (s.Valid) {
                DrawLabel(p, a + QPoint(8, 16), MarkValueText(s.Max, absolute), color);
            }
            continue;
        }
        // The hottest point: a small cross and the value beside it, turned inwards
        // near the right and top edges.
        const QPoint m(s.MaxAt.x, s.MaxAt.y);
        p.drawImage(m - QPoint(kCrossSpan / 2, kCrossSpan / 2), MaxCross());
        const TLabelSprites::TSprite &label =
            LabelSprites().Get(MarkValueText(s.Max, absolute), QColor(255, 64, 64).rgb());
        const int width = label.TextWidth;
        const int x = m.x() + 7 + width < picture.width() ? m.x() + 7 : m.x() - 7 - width;
        const int y = m.y() - 6 < 14 ? m.y() + 18 : m.y() - 6;
        DrawLabel(p, QPoint(x, y), label);
    }
}

void PaintAlarmFrame(QImage &picture) {
    if (picture.isNull())
        return;
    QPainter p(&picture);
    p.setPen(Qt::NoPen);
    p.setBrush(kAlarmFrameColor);
    const int w = picture.width(), h = picture.height(), k = kAlarmFrameWidth;
    p.drawRect(0, 0, w, k);
    p.drawRect(0, h - k, w, k);
    p.drawRect(0, 0, k, h);
    p.drawRect(w - k, 0, k, h);
}
