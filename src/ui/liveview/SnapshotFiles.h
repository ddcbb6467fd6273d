#pragma once
// Naming and framing of a snapshot: what a double-click on the picture saves.
//
// The capture takes the picture, 8 pixels above and below it and 98 pixels to its
// right (the colour legend bar and its labels), and is saved as
// "MLX_PHOTO_YYYYMMDDHHMMSS.jpg" in the folder "Photos" beside the program.

#include <QDateTime>
#include <QString>

#include <cstdint>

// A rectangle given by its edges; Right and Bottom lie just outside it, so the
// size is Right - Left by Bottom - Top.
struct TCaptureRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
};

// The capture rectangle, in the same coordinates as the picture's position
// (the window's client coordinates): 610 x 400 for a 512 x 384 picture.
TCaptureRect SnapshotCaptureRect(int32_t imageLeft, int32_t imageTop, int32_t imageWidth,
                                 int32_t imageHeight);

// "MLX_PHOTO_" + local time as fourteen digits (year, month, day, hour 00 to 23,
// minutes, seconds) + ".jpg". Two snapshots in the same second get the same name.
QString SnapshotFileName(const QDateTime &localTime);

// `applicationPath` (the program folder ending in "/") + "Photos/" + the file name.
QString SnapshotFilePath(const QString &applicationPath, const QDateTime &localTime);
