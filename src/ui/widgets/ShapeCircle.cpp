#include "ui/widgets/ShapeCircle.h"

#include <QPainter>

#include <algorithm>

TShapeCircle::TShapeCircle(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void TShapeCircle::SetBrushColor(const QColor &color) {
    if (color == fBrush)
        return;
    fBrush = color;
    update();
}

void TShapeCircle::SetPenColor(const QColor &color) {
    fPen = color;
    update();
}

void TShapeCircle::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The circle's diameter is the shorter side, centred in the control.
    const int d = std::min(width(), height());
    const QRectF circle((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    if (fPen.isValid())
        p.setPen(QPen(fPen, 1));
    else
        p.setPen(Qt::NoPen);
    p.setBrush(fBrush);
    p.drawEllipse(fPen.isValid() ? circle.adjusted(0.5, 0.5, -0.5, -0.5) : circle);
}
