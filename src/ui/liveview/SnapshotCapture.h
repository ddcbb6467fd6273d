#pragma once
// Capturing and saving a snapshot: the screen's pixels in a rectangle, the JPEG
// file, and the temperature file saved beside it.

#include "pipeline/PixelTypes.h"

#include <QImage>
#include <QRect>
#include <QString>

class QWidget;

// The pixels of `globalRect` (screen coordinates) as the screen shows them. Where
// the platform gives no screen pixels (or `allowScreen` is false), the window of
// `widget` renders the same rectangle itself; parts outside that window stay black.
// The result has exactly the rectangle's size, 24-bit RGB; null when the rectangle
// is empty.
QImage CaptureScreenRect(QWidget *widget, const QRect &globalRect, bool allowScreen = true);

// Saves the image as a baseline colour JPEG of quality 100, replacing a file of the
// same name. False when it cannot be written; nothing is left behind then.
bool SaveSnapshotJpeg(const QImage &image, const QString &fileName);

// The temperature file of a snapshot: its name with the extension ".txt".
QString SnapshotTemperaturePath(const QString &jpegFileName);

// Writes the 32 x 24 temperatures as a temperature file that the sensor image
// object reads back to the same values. False when that is impossible (a folder
// that cannot be written, a value that is not a number); nothing is left behind.
bool SaveSnapshotTemperatures(const TPixels &pixs, const QString &fileName);
