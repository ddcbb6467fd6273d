#pragma once
// A picture control: owns a copy of a bitmap and paints it stretched to its size.
//
// SetPicture always takes a deep copy, so the source (for example the sensor image
// object's bitmap) is never drawn on when markers are painted into Picture().

#include <QImage>
#include <QWidget>

class TPictureBox : public QWidget {
    Q_OBJECT
public:
    explicit TPictureBox(QWidget *parent = nullptr);

    // Replaces the picture by a deep copy of `image` and repaints.
    void SetPicture(const QImage &image);
    // The owned picture, for drawing into it; call update() afterwards.
    QImage &Picture() { return fPicture; }
    const QImage &Picture() const { return fPicture; }

signals:
    void DoubleClicked();
    void MouseEntered();
    void MouseLeft();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QImage fPicture;
};
