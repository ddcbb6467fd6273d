#pragma once
// A picture control: owns a copy of a bitmap and paints it stretched to its size.
//
// With region gestures on, the left button draws on it: a drag reports a box, a drag
// with Shift a line, a click with Ctrl a spot, a plain click a point (to select
// what lies there), Delete while it has the focus a delete; all positions in picture
// pixels. The shape being dragged is shown over the picture until the button is
// released (it is not part of the picture).
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
    // Replaces the picture by a 24-bit picture laid out blue, green, red (the sensor
    // image object's bitmap), converted into the owned picture in place: once the
    // size is settled no frame allocates, and nothing is handed to other threads.
    void SetPictureBgr(const uint8_t *bits, int width, int height, qsizetype bytesPerLine);
    // The owned picture, for drawing into it; call update() afterwards.
    QImage &Picture() { return fPicture; }
    const QImage &Picture() const { return fPicture; }

    // The gestures described above; off by default.
    void SetRegionGestures(bool on);
    // A position in the control as a picture pixel (the picture may be stretched).
    QPoint ToPicture(const QPoint &pos) const;

    // The smallest drag, in picture pixels along either axis, that draws a shape;
    // anything shorter is a click.
    static constexpr int kMinDrag = 3;

signals:
    void DoubleClicked();
    void MouseEntered();
    void MouseLeft();
    // Region gestures (picture pixels): `line` false for a box.
    void ShapeDragged(bool line, QPoint from, QPoint to);
    void SpotClicked(QPoint at);
    void PointClicked(QPoint at);
    void DeletePressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class TDrag { None, Box, Line, Spot };

    void PictureReplaced();

    QImage fPicture;
    bool fGestures = false;
    TDrag fDrag = TDrag::None;
    QPoint fDragFrom;  // control pixels
    QPoint fDragTo;
};
