#include "ui/widgets/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

TPictureBox::TPictureBox(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TPictureBox::SetPicture(const QImage &image) {
    fPicture = image.copy();
    update();
}

void TPictureBox::paintEvent(QPaintEvent *) {
    if (fPicture.isNull())
        return;
    QPainter p(this);
    p.drawImage(rect(), fPicture);
}

void TPictureBox::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        emit DoubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

void TPictureBox::enterEvent(QEnterEvent *event) {
    emit MouseEntered();
    QWidget::enterEvent(event);
}

void TPictureBox::leaveEvent(QEvent *event) {
    emit MouseLeft();
    QWidget::leaveEvent(event);
}
