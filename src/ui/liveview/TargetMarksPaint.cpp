#include "ui/liveview/TargetMarksPaint.h"

#include "pipeline/SysFun.h"
#include "ui/support/Fonts.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace {

// Far enough outside the picture that nothing drawn from there reaches it, small
// enough for the painter's integer coordinates.
constexpr int64_t kCoordLimit = int64_t(1) << 24;

int Coord(int64_t v) {
    return int(std::clamp(v, -kCoordLimit, kCoordLimit));
}

QPoint ToPoint(const TMarkPoint &p) {
    return QPoint(Coord(p.x), Coord(p.y));
}

QColor ColorOfWord(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QFont MarkFont(int64_t textHeight) {
    // The window's families: "℃" from DejaVu Sans (WenQuanYi Micro Hei draws it
    // blank), Chinese names glyph by glyph from a CJK face.
    QFont font = WindowFont(1, true);
    // A height of zero or below has no size of its own: its magnitude, at least 1.
    const int64_t magnitude = textHeight < 0 ? -textHeight : textHeight;
    font.setPixelSize(int(std::clamp<int64_t>(magnitude, 1, kMaxMarkFontPixels)));
    return font;
}

}  // namespace

int32_t PictureColorAt(const QImage &picture, const TMarkPoint &at) {
    if (at.x < 0 || at.y < 0 || at.x >= picture.width() || at.y >= picture.height())
        return 0x00FFFFFF;
    const QRgb rgb = picture.pixel(int(at.x), int(at.y));
    return qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16);
}

void PaintTargetMarks(QImage &picture, const std::vector<TMarkCross> &crosses,
                      const std::vector<TMarkText> &texts, const TMarkParams &p) {
    if (picture.isNull())
        return;
    {
        QPainter painter(&picture);
        for (const TMarkCross &cross : crosses) {
            painter.setPen(QPen(ColorOfWord(cross.Color), 3, Qt::SolidLine, Qt::RoundCap));
            const TMarkPoint c = cross.Centre;
            const QPoint from = ToPoint(c);
            painter.drawLine(from, ToPoint({c.x, c.y - p.h}));
            painter.drawLine(from, ToPoint({c.x, c.y + p.h}));
            painter.drawLine(from, ToPoint({c.x - p.h, c.y}));
            painter.drawLine(from, ToPoint({c.x + p.h, c.y}));
        }
    }
    const QFont font = MarkFont(p.TH);
    for (const TMarkText &text : texts) {
        // The picture as it stands now decides the colour, so each text is finished
        // before the next anchor is read.
        const int32_t under = PictureColorAt(picture, text.Anchor);
        QPainter painter(&picture);
        painter.setFont(font);
        painter.setPen(ColorOfWord(RGBColorInverse(under)));
        painter.setBackgroundMode(Qt::TransparentMode);
        const QPoint at = ToPoint(text.Anchor);
        painter.drawText(QRect(at, QSize(1 << 20, 1 << 20)),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text.Text);
    }
}
