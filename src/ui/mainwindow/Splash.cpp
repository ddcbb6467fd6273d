#include "ui/mainwindow/Splash.h"

#include "ui/support/Fonts.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {

constexpr int kWidth = 512;
constexpr int kHeight = 384;

// An iron-like thermal scale from cold to hot.
void SetThermalStops(QGradient &g, int alphaHot = 255) {
    g.setColorAt(0.00, QColor(0x08, 0x05, 0x2E));
    g.setColorAt(0.25, QColor(0x4B, 0x0C, 0x8C));
    g.setColorAt(0.50, QColor(0xC0, 0x23, 0x6B));
    g.setColorAt(0.72, QColor(0xF2, 0x6B, 0x1D));
    g.setColorAt(0.90, QColor(0xFC, 0xC4, 0x3A, alphaHot));
    g.setColorAt(1.00, QColor(0xFF, 0xF6, 0xD5, alphaHot));
}

// A warm blob, hottest in its middle, fading into the background.
void HotSpot(QPainter &p, QPointF centre, qreal radius, qreal heat) {
    QRadialGradient g(centre, radius);
    g.setColorAt(0.0, QColor::fromRgbF(1.0, 0.85 * heat + 0.1, 0.35 * heat, 0.85 * heat));
    g.setColorAt(0.45, QColor::fromRgbF(0.95, 0.42, 0.12, 0.55 * heat));
    g.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
}

void ShadowedText(QPainter &p, const QRect &r, int flags, const QString &text, const QColor &color) {
    p.setPen(QColor(0, 0, 0, 150));
    p.drawText(r.translated(2, 2), flags, text);
    p.setPen(color);
    p.drawText(r, flags, text);
}

QFont SplashFont(int pixelSize, bool bold) {
    return WindowFont(pixelSize, bold);
}

}  // namespace

QImage MakeSplashPicture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Background: the thermal scale running diagonally, cold at the bottom left.
    QLinearGradient background(QPointF(0, kHeight), QPointF(kWidth, 0));
    SetThermalStops(background);
    p.fillRect(image.rect(), background);
    p.fillRect(image.rect(), QColor(8, 5, 46, 120));  // keep the text readable

    HotSpot(p, QPointF(400, 96), 120, 1.0);
    HotSpot(p, QPointF(120, 300), 90, 0.6);
    HotSpot(p, QPointF(300, 250), 70, 0.45);

    // A faint sensor grid: 32 x 24 cells of 16 pixels.
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    for (int x = 16; x < kWidth; x += 16)
        p.drawLine(x, 0, x, kHeight);
    for (int y = 16; y < kHeight; y += 16)
        p.drawLine(0, y, kWidth, y);

    // A colour bar along the bottom edge.
    QLinearGradient bar(QPointF(32, 0), QPointF(kWidth - 32, 0));
    SetThermalStops(bar);
    p.setPen(Qt::NoPen);
    p.setBrush(bar);
    p.drawRoundedRect(QRectF(32, kHeight - 30, kWidth - 64, 10), 5, 5);

    p.setFont(SplashFont(64, true));
    ShadowedText(p, QRect(32, 34, kWidth - 64, 80), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Korvale"), QColor(0xFF, 0xF6, 0xD5));
    p.setFont(SplashFont(17, false));
    ShadowedText(p, QRect(36, 112, kWidth - 64, 26), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Thermal imaging host for MLX90640 modules"), Qt::white);

    const QStringList features = {
        QStringLiteral("•  32 × 24 far-infrared pixels, shown at 512 × 384"),
        QStringLiteral("•  13 colour schemes, legend and data grid"),
        QStringLiteral("•  minimum, maximum, centre and cursor readouts"),
        QStringLiteral("•  module parameters, clock and stored photos"),
    };
    p.setFont(SplashFont(15, false));
    int y = 178;
    for (const QString &line : features) {
        ShadowedText(p, QRect(40, y, kWidth - 72, 22), Qt::AlignLeft | Qt::AlignVCenter, line,
                     QColor(0xF4, 0xF0, 0xFF));
        y += 28;
    }
    p.setFont(SplashFont(13, false));
    ShadowedText(p, QRect(32, kHeight - 58, kWidth - 64, 20), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Connect the module to start the live view."), QColor(0xFC, 0xC4, 0x3A));
    p.end();
    return image;
}
