#include "ui/widgets/PictureBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

namespace {

// Blue, green, red in memory read as one little-endian word are the colour's low
// three bytes; the last pixel is read byte by byte (nothing after it).
void BgrRowToRgb32Plain(const uint8_t *src, QRgb *dst, int from, int width) {
    for (int x = from; x + 1 < width; ++x) {
        uint32_t word;
        std::memcpy(&word, src + 3 * x, sizeof word);
        dst[x] = 0xFF000000u | (qFromLittleEndian(word) & 0x00FFFFFFu);
    }
    if (from < width) {
        const uint8_t *last = src + 3 * (width - 1);
        dst[width - 1] = 0xFF000000u | QRgb(last[2]) << 16 | QRgb(last[1]) << 8 | QRgb(last[0]);
    }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Four pixels at a time: 16 bytes read, the 12 of four pixels spread into four words.
// A read takes 4 bytes past its pixels, so the last pixels of a row go the plain way.
__attribute__((target("ssse3"))) int BgrRowToRgb32Ssse3(const uint8_t *src, QRgb *dst, int width) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
    int x = 0;
    for (; 3 * x + 16 <= 3 * width; x += 4) {
        const __m128i bgr = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + x),
                         _mm_or_si128(_mm_shuffle_epi8(bgr, spread), opaque));
    }
    return x;
}

bool HaveSsse3() {
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return have;
}
#endif

void BgrRowToRgb32(const uint8_t *src, QRgb *dst, int width) {
    int from = 0;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (HaveSsse3())
        from = BgrRowToRgb32Ssse3(src, dst, width);
#endif
    BgrRowToRgb32Plain(src, dst, from, width);
}

}  // namespace

TPictureBox::TPictureBox(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

// An opaque picture covers the whole control, so what lies behind it need not be
// painted first at every refresh; without one the parent shows through.
void TPictureBox::PictureReplaced() {
    setAttribute(Qt::WA_OpaquePaintEvent, !fPicture.isNull() && !fPicture.hasAlphaChannel());
    update();
}

void TPictureBox::SetPicture(const QImage &image) {
    fPicture = image.copy();
    PictureReplaced();
}

void TPictureBox::SetPictureBgr(const uint8_t *bits, int width, int height, qsizetype bytesPerLine) {
    if (!bits || width <= 0 || height <= 0 || bytesPerLine < qsizetype(width) * 3) {
        fPicture = QImage();
        PictureReplaced();
        return;
    }
    if (fPicture.size() != QSize(width, height) || fPicture.format() != QImage::Format_RGB32)
        fPicture = QImage(width, height, QImage::Format_RGB32);
    // bits() detaches a picture still shared with a copy (a snapshot's) once.
    uchar *out = fPicture.bits();
    const qsizetype outStride = fPicture.bytesPerLine();
    for (int y = 0; y < height; ++y)
        BgrRowToRgb32(bits + qsizetype(y) * bytesPerLine,
                      reinterpret_cast<QRgb *>(out + qsizetype(y) * outStride), width);
    PictureReplaced();
}

void TPictureBox::paintEvent(QPaintEvent *) {
    const bool opaque = testAttribute(Qt::WA_OpaquePaintEvent);
    if (fPicture.isNull() && !opaque)
        return;
    QPainter p(this);
    // A picture made clear or emptied through Picture() since it was set: what is
    // under it was not painted, so the control's own background stands in.
    if (opaque && (fPicture.isNull() || fPicture.hasAlphaChannel()))
        p.fillRect(rect(), palette().window());
    if (fPicture.isNull())
        return;
    p.drawImage(rect(), fPicture);
    if (fDrag == TDrag::Box || fDrag == TDrag::Line) {
        p.setPen(QPen(Qt::white, 1, Qt::DashLine));
        if (fDrag == TDrag::Box)
            p.drawRect(QRect(fDragFrom, fDragTo).normalized());
        else
            p.drawLine(fDragFrom, fDragTo);
    }
}

void TPictureBox::SetRegionGestures(bool on) {
    fGestures = on;
    setFocusPolicy(on ? Qt::ClickFocus : Qt::NoFocus);
}

QPoint TPictureBox::ToPicture(const QPoint &pos) const {
    if (fPicture.isNull() || width() <= 0 || height() <= 0 || fPicture.size() == size())
        return pos;
    return QPoint(int(int64_t(pos.x()) * fPicture.width() / width()),
                  int(int64_t(pos.y()) * fPicture.height() / height()));
}

void TPictureBox::mousePressEvent(QMouseEvent *event) {
    if (fGestures && event->button() == Qt::LeftButton) {
        const Qt::KeyboardModifiers mods = event->modifiers();
        fDrag = (mods & Qt::ControlModifier) ? TDrag::Spot
                : (mods & Qt::ShiftModifier) ? TDrag::Line
                                             : TDrag::Box;
        fDragFrom = fDragTo = event->position().toPoint();
    }
    QWidget::mousePressEvent(event);
}

void TPictureBox::mouseMoveEvent(QMouseEvent *event) {
    if (fDrag != TDrag::None && (event->buttons() & Qt::LeftButton)) {
        fDragTo = event->position().toPoint();
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void TPictureBox::mouseReleaseEvent(QMouseEvent *event) {
    if (fDrag != TDrag::None && event->button() == Qt::LeftButton) {
        const TDrag drag = fDrag;
        fDrag = TDrag::None;
        fDragTo = event->position().toPoint();
        update();
        const QPoint from = ToPicture(fDragFrom);
        const QPoint to = ToPicture(fDragTo);
        const bool moved = std::abs(to.x() - from.x()) >= kMinDrag || std::abs(to.y() - from.y()) >= kMinDrag;
        if (drag == TDrag::Spot)
            emit SpotClicked(to);
        else if (moved)
            emit ShapeDragged(drag == TDrag::Line, from, to);
        else
            emit PointClicked(to);
    }
    QWidget::mouseReleaseEvent(event);
}

void TPictureBox::keyPressEvent(QKeyEvent *event) {
    if (fGestures && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)) {
        emit DeletePressed();
        return;
    }
    QWidget::keyPressEvent(event);
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
