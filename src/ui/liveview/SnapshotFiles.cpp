#include "ui/liveview/SnapshotFiles.h"

TCaptureRect SnapshotCaptureRect(int32_t imageLeft, int32_t imageTop, int32_t imageWidth,
                                 int32_t imageHeight) {
    // 8 pixels above and below the picture; the legend bar sits 8 pixels to its
    // right and its labels 45 pixels to its right, all within the 98 pixels.
    return TCaptureRect{imageLeft, imageTop - 8, imageLeft + imageWidth + 98, imageTop + imageHeight + 8};
}

QString SnapshotFileName(const QDateTime &localTime) {
    return QStringLiteral("MLX_PHOTO_") + localTime.toString(QStringLiteral("yyyyMMddHHmmss")) +
           QStringLiteral(".jpg");
}

QString SnapshotFilePath(const QString &applicationPath, const QDateTime &localTime) {
    return applicationPath + QStringLiteral("Photos/") + SnapshotFileName(localTime);
}
