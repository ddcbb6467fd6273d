// Snapshots: a double-click on the picture saves what the screen shows of the
// picture and its colour legend as a JPEG in the save folder (PickSaveFolder: the
// folder "Photos" beside the program, or for an installed program "Korvale" in the
// user's pictures folder), and the 32 x 24 temperatures on screen as a temperature
// file of the same name beside it. Without a save folder nothing is saved and
// nothing is said; "Photos" is never created. Both files are written whole or not at
// all (a new file renamed over the name once complete); when either cannot be
// written (a full disk, a folder that cannot be written), panel 6 says so for a few
// seconds and the program carries on.

#include "pipeline/MLX90640.h"
#include "ui/liveview/SnapshotCapture.h"
#include "ui/liveview/SnapshotFiles.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/SaveFolder.h"
#include "ui/support/StatusTexts.h"
#include "ui/support/TextCatalogue.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StatusPanels.h"

#include <QDateTime>
#include <QDir>

void TForm_Main::Image1DblClick(QObject *) {
    // The picture, 8 pixels above and below it and 98 to its right (the legend bar
    // and its labels), in the coordinates of the picture's container.
    const TCaptureRect r = SnapshotCaptureRect(Image1->x(), Image1->y(), Image1->width(), Image1->height());
    QWidget *container = Image1->parentWidget() ? Image1->parentWidget() : this;
    const QPoint topLeft = container->mapToGlobal(QPoint(r.Left, r.Top));
    const QPoint bottomRight = container->mapToGlobal(QPoint(r.Right, r.Bottom));
    const TSaveFolder folder = PickSaveFolder(ApplicationPathStr, UserPicturesFolder());
    if (!folder.Ok())
        return;
    const QString fileName = QDir(folder.Path).filePath(SnapshotFileName(QDateTime::currentDateTime()));
    Snapscreen(topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y(), fileName);
}

void TForm_Main::Snapscreen(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const QString &FileName) {
    const int64_t width = int64_t(x2) - x1;
    const int64_t height = int64_t(y2) - y1;
    constexpr int64_t kMaxSide = 65500;  // the largest side a JPEG file can have
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return;
    // Paint what the window holds now (a refresh may have drawn markers since the last
    // paint), so the screen pixels match the picture on show.
    repaint();
    const QImage shot = CaptureScreenRect(this, QRect(x1, y1, int(width), int(height)));
    // The temperatures of the frame on screen; none before the first frame.
    const bool saved = SaveSnapshotJpeg(shot, FileName) &&
                       (!fShownFrame || SaveSnapshotTemperatures(fShownFrame->Pixs_Origin,
                                                                 SnapshotTemperaturePath(FileName)));
    if (saved)
        ShowNotice(Tr(TText::SavedTo, LanguageNum).arg(QDir::toNativeSeparators(FileName)), 8000);
    else
        ShowNotice(SnapshotNotSavedText(LanguageNum), 5000);
}
