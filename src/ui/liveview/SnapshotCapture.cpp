#include "ui/liveview/SnapshotCapture.h"

#include "pipeline/JpegWriter.h"
#include "pipeline/TemperatureFile.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace {

// The image at exactly `size` pixels in 24-bit RGB (screens with a device pixel
// ratio other than 1 deliver more pixels than the rectangle has).
QImage ToRectSize(const QImage &image, const QSize &size) {
    QImage out =
        image.size() == size ? image : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return out.convertToFormat(QImage::Format_RGB888);
}

QImage GrabScreen(QWidget *widget, const QRect &rect) {
    QScreen *screen = QGuiApplication::screenAt(rect.topLeft());
    if (!screen && widget)
        screen = widget->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    // The desktop's coordinates relative to the screen that holds the corner.
    const QPoint origin = screen->geometry().topLeft();
    const QPixmap shot =
        screen->grabWindow(0, rect.x() - origin.x(), rect.y() - origin.y(), rect.width(), rect.height());
    if (shot.isNull() || shot.width() <= 0 || shot.height() <= 0)
        return {};
    return shot.toImage();
}

QImage GrabWindow(QWidget *widget, const QRect &rect) {
    QImage out(rect.size(), QImage::Format_RGB888);
    out.fill(Qt::black);
    QWidget *window = widget ? widget->window() : nullptr;
    if (!window)
        return out;
    const QRect local(window->mapFromGlobal(rect.topLeft()), rect.size());
    const QRect inside = local & window->rect();
    if (inside.isEmpty())
        return out;
    const QImage part = ToRectSize(window->grab(inside).toImage(), inside.size());
    QPainter painter(&out);
    painter.drawImage(inside.topLeft() - local.topLeft(), part);
    return out;
}

}  // namespace

QImage CaptureScreenRect(QWidget *widget, const QRect &globalRect, bool allowScreen) {
    if (globalRect.isEmpty())
        return {};
    QImage shot = allowScreen ? GrabScreen(widget, globalRect) : QImage();
    if (shot.isNull())
        shot = GrabWindow(widget, globalRect);
    return ToRectSize(shot, globalRect.size());
}

bool SaveSnapshotJpeg(const QImage &image, const QString &fileName) {
    if (image.isNull() || fileName.isEmpty())
        return false;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    return WriteJpeg(QFile::encodeName(fileName).toStdString(), rgb.constBits(), rgb.width(), rgb.height(),
                     int(rgb.bytesPerLine()), false, 100);
}

QString SnapshotTemperaturePath(const QString &jpegFileName) {
    const QFileInfo info(jpegFileName);
    const QString suffix = info.suffix();
    const QString base =
        suffix.isEmpty() ? jpegFileName : jpegFileName.left(jpegFileName.size() - suffix.size() - 1);
    return base + QStringLiteral(".txt");
}

bool SaveSnapshotTemperatures(const TPixels &pixs, const QString &fileName) {
    try {
        SaveTemperatureFile(QFile::encodeName(fileName).toStdString(), pixs);
        return true;
    } catch (const std::exception &) {
        // An older file of this name would no longer belong to the snapshot beside it.
        QFile::remove(fileName);
        return false;
    }
}
