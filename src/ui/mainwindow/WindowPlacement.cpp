#include "ui/mainwindow/WindowPlacement.h"

bool ShouldMaximise(int screenWidth) {
    return screenWidth <= kMaximiseScreenWidth;
}

QRect CentredRect(const QSize &outer, const QRect &available) {
    const int left = available.left() + (available.width() - outer.width()) / 2;
    const int top = available.top() + (available.height() - outer.height()) / 2;
    return QRect(QPoint(left, top), outer);
}
