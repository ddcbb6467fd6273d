#include "ui/analysis/AnalysisPaint.h"

#include "analysis/Isotherm.h"
#include "pipeline/PictureGrid.h"
#include "ui/analysis/Analysis.h"
#include "ui/liveview/LiveViewTexts.h"
#include "ui/support/Fonts.h"

#include <QPainter>
#include <QPen>

#include <functional>

namespace {

// Drawn once per shown frame for up to eight regions: square caps and miter joins
// keep the strokes on the painter's fast path (round ones are stroked as curves).
void DrawOutlined(QPainter &p, const QColor &color, const std::function<void()> &draw) {
    p.setPen(QPen(QColor(0, 0, 0), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    draw();
    p.setPen(QPen(color, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    draw();
}

// The text on a dark plate, readable on any palette; `at` is its baseline's start.
void DrawLabel(QPainter &p, const QPoint &at, const QString &text, const QColor &color) {
    const QFontMetrics fm = p.fontMetrics();
    p.fillRect(QRect(at.x() - 2, at.y() - fm.ascent() - 1, fm.horizontalAdvance(text) + 4, fm.height() + 2),
               QColor(0, 0, 0));
    p.setPen(color);
    p.drawText(at, text);
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
    const QFont font = WindowFont(13, true);
    p.setFont(font);
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
            DrawOutlined(p, color, [&] { p.drawRect(box); });
            numberAt = box.topLeft() + QPoint(4, 15);
            break;
        }
        case RK_Line:
            DrawOutlined(p, color, [&] { p.drawLine(a, b); });
            numberAt = a + QPoint(6, -6);
            break;
        case RK_Spot:
            DrawOutlined(p, color, [&] { p.drawRect(QRect(a - QPoint(4, 4), QSize(9, 9))); });
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
        DrawOutlined(p, QColor(255, 64, 64), [&] {
            p.drawLine(m - QPoint(4, 4), m + QPoint(4, 4));
            p.drawLine(m - QPoint(4, -4), m + QPoint(4, -4));
        });
        const QString text = MarkValueText(s.Max, absolute);
        const int width = p.fontMetrics().horizontalAdvance(text);
        const int x = m.x() + 7 + width < picture.width() ? m.x() + 7 : m.x() - 7 - width;
        const int y = m.y() - 6 < 14 ? m.y() + 18 : m.y() - 6;
        DrawLabel(p, QPoint(x, y), text, QColor(255, 64, 64));
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
