// Snapshots: a double-click saves the picture, its markers and the legend as shown
// into a 610 x 400 colour JPEG named after the time, with the shown temperatures in
// a temperature file beside it; without the Photos folder nothing happens; a
// snapshot that cannot be written leaves no part of a file and says so in panel 6.

#include "pipeline/MLX90640.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/liveview/SnapshotCapture.h"
#include "ui/support/ErrorHandler.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StatusPanels.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

#include <sys/mount.h>

namespace {

// A smooth field whose values need all their digits to read back exactly.
QString GradientTemperatureFile() {
    QByteArray contents;
    for (int r = 0; r < 24; ++r) {
        QStringList line;
        for (int c = 0; c < 32; ++c)
            line << QString::number(18.0 + c * 0.37 + r * 0.29 + 1.0 / 3.0, 'g', 17);
        contents += line.join(QLatin1Char(' ')).toUtf8() + "\r\n";
    }
    return WriteTempFile(QStringLiteral("gradient.txt"), contents);
}

int Distance(const QColor &a, const QColor &b) {
    return std::max(
        {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

QColor ColorOfWord(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace

class TstSnapshot : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindowUnderTest> fForm;
    std::unique_ptr<QTemporaryDir> fProgramDir;
    QString Photos() const { return fProgramDir->filePath(QStringLiteral("Photos")); }
    QStringList PhotoFiles() const { return QDir(Photos()).entryList(QDir::Files, QDir::Name); }

    void ShowFrame() {
        fForm->Image().LoadDatasFromTemperatureFile(GradientTemperatureFile().toStdString());
        fForm->Form().Timer1Timer(fForm->Timer1);
        QVERIFY(fForm->Form().GetShownFrame());
        QTest::qWait(50);  // painted, so the screen shows it
    }
    void DoubleClickPicture() { QTest::mouseDClick(fForm->Image1, Qt::LeftButton, {}, QPoint(100, 100)); }
    // The capture rectangle in screen coordinates.
    QRect CaptureRect() const { return QRect(fForm->Image1->mapToGlobal(QPoint(0, -8)), QSize(610, 400)); }

private slots:
    void init() {
        fForm = MakeShownForm();
        fForm->Timer1->stop();
        fForm->Timer2->stop();
        // The whole picture area in view (the test screen is smaller than the window).
        fForm->Form().showNormal();
        fForm->Form().setGeometry(0, 0, 1500, 760);
        QTest::qWait(20);
        fProgramDir = std::make_unique<QTemporaryDir>();
        fForm->Form().SetApplicationPathStr(fProgramDir->path() + QLatin1Char('/'));
        QVERIFY(QDir(fProgramDir->path()).mkdir(QStringLiteral("Photos")));
    }
    void cleanup() {
        fForm.reset();
        fProgramDir.reset();
    }

    void doubleClickSavesWhatTheWindowShows() {
        fForm->chk_ShowTarget->setChecked(true);
        ShowFrame();
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
        DoubleClickPicture();
        const QDateTime after = QDateTime::currentDateTime();

        const QStringList files = PhotoFiles();
        QCOMPARE(files.size(), 2);
        const QRegularExpressionMatch name =
            QRegularExpression(QStringLiteral("^MLX_PHOTO_(\\d{14})\\.jpg$")).match(files[0]);
        QVERIFY2(name.hasMatch(), qPrintable(files[0]));
        const QDateTime stamp = QDateTime::fromString(name.captured(1), QStringLiteral("yyyyMMddHHmmss"));
        QVERIFY(stamp >= before && stamp <= after);
        QCOMPARE(files[1], "MLX_PHOTO_" + name.captured(1) + ".txt");

        const QString jpegPath = QDir(Photos()).filePath(files[0]);
        QCOMPARE(QImageReader(jpegPath).format(), QByteArray("jpeg"));
        const QImage jpeg(jpegPath);
        QCOMPARE(jpeg.size(), QSize(610, 400));
        QVERIFY(!jpeg.allGray());
        // The picture 8 rows down, the legend bar 8 columns right of it.
        const QImage &shown = fForm->Image1->Picture();
        for (const QPoint &p : {QPoint(40, 40), QPoint(300, 120), QPoint(470, 350)})
            QVERIFY(Distance(jpeg.pixelColor(p + QPoint(0, 8)), shown.pixelColor(p)) <= 24);
        QVERIFY(Distance(jpeg.pixelColor(520 + 16, 8 + 100),
                         fForm->img_ColorLegend->Picture().pixelColor(16, 100)) <= 24);
        // The centre cross (both arms, which pin the file's offsets) is in the file,
        // not in the object's bitmap.
        for (const QPoint &arm : {QPoint(249, 191), QPoint(255, 185)}) {
            const QColor bitmapAtCross =
                ColorOfWord(fForm->Form().GetShownFrame()->BmpPic.Pixel(arm.x(), arm.y()));
            QVERIFY(shown.pixelColor(arm) != bitmapAtCross);
            const QColor inFile = jpeg.pixelColor(arm + QPoint(0, 8));
            QVERIFY(Distance(inFile, shown.pixelColor(arm)) < Distance(inFile, bitmapAtCross));
        }

        // The temperature file reads back to the temperatures on screen.
        TMLX90640 reader;
        reader.LoadDatasFromTemperatureFile(QDir(Photos()).filePath(files[1]).toStdString());
        const TPixels back = reader.GetPixs_Origin();
        const TPixels &onScreen = fForm->Form().GetShownFrame()->Pixs_Origin;
        for (int c = 0; c < 32; ++c)
            for (int r = 0; r < 24; ++r)
                QVERIFY(back[c][r].Temperature == onScreen[c][r].Temperature);  // exactly
    }

    void withoutPhotosFolderNothingHappens() {
        TCapturedErrors errors;
        QVERIFY(QDir(Photos()).removeRecursively());
        ShowFrame();
        DoubleClickPicture();
        QVERIFY(!QDir(Photos()).exists());
        QCOMPARE(QDir(fProgramDir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(errors.Messages(), QStringList());
    }

    void beforeTheFirstFrameOnlyThePictureIsSaved() {
        DoubleClickPicture();
        const QStringList files = PhotoFiles();
        QCOMPARE(files.size(), 1);
        QVERIFY(files[0].endsWith(QStringLiteral(".jpg")));
        QCOMPARE(QImage(QDir(Photos()).filePath(files[0])).size(), QSize(610, 400));
    }

    void aSnapshotOfTheSameNameReplacesBothFiles() {
        ShowFrame();
        const QString jpegPath = QDir(Photos()).filePath(QStringLiteral("MLX_PHOTO_20191120212607.jpg"));
        const QString textPath = SnapshotTemperaturePath(jpegPath);
        QCOMPARE(textPath, QDir(Photos()).filePath(QStringLiteral("MLX_PHOTO_20191120212607.txt")));
        for (const QString &path : {jpegPath, textPath}) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("an older snapshot");
        }
        const QRect r = CaptureRect();
        fForm->Form().Snapscreen(r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), jpegPath);
        QCOMPARE(QImage(jpegPath).size(), QSize(610, 400));
        TMLX90640 reader;
        reader.LoadDatasFromTemperatureFile(textPath.toStdString());
        QVERIFY(reader.GetPixs_Origin()[7][3].Temperature ==
                fForm->Form().GetShownFrame()->Pixs_Origin[7][3].Temperature);
        // An empty or inverted rectangle saves nothing.
        QVERIFY(QFile::remove(jpegPath));
        fForm->Form().Snapscreen(r.left(), r.top(), r.left(), r.top() + 10, jpegPath);
        fForm->Form().Snapscreen(r.right(), r.top(), r.left(), r.bottom(), jpegPath);
        QVERIFY(!QFile::exists(jpegPath));
    }

    void aSnapshotThatCannotBeWrittenLeavesNothingAndSaysSo() {
        ShowFrame();
        // A full disk: Photos on a 64 KiB file system of its own, filled up.
        if (::mount("tmpfs", QFile::encodeName(Photos()).constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("cannot mount a small file system here");
        QFile filler(QDir(Photos()).filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush())
            ;
        filler.close();
        DoubleClickPicture();
        const QStringList left = PhotoFiles();
        ::umount2(QFile::encodeName(Photos()).constData(), MNT_DETACH);
        QCOMPARE(left, QStringList{QStringLiteral("filler")});
        QCOMPARE(fForm->StatusBar1->PanelText(6), QStringLiteral("Toast:Snapshot not saved"));
        // The program carries on: the next frame is shown, the notice stays a while.
        fForm->Image().LoadDatasFromTemperatureFile(GradientTemperatureFile().toStdString());
        fForm->Form().Timer1Timer(fForm->Timer1);
        QCOMPARE(fForm->StatusBar1->PanelText(6), QStringLiteral("Toast:Snapshot not saved"));

        // A folder that cannot exist (its parent is a file; as root no permission
        // stops a write): nothing written, the notice again.
        fForm->StatusBar1->SetPanelText(6, QString());
        QFile parent(fProgramDir->filePath(QStringLiteral("file")));
        QVERIFY(parent.open(QIODevice::WriteOnly));
        parent.close();
        const QRect r = CaptureRect();
        fForm->Form().Snapscreen(r.left(), r.top(), r.left() + r.width(), r.top() + r.height(),
                                 parent.fileName() + QStringLiteral("/MLX_PHOTO_1.jpg"));
        QCOMPARE(fForm->StatusBar1->PanelText(6), QStringLiteral("Toast:Snapshot not saved"));
        QCOMPARE(QFileInfo(parent.fileName()).size(), 0);
    }

    void screenAndWindowCapturesAgree() {
        ShowFrame();
        const QImage screen = CaptureScreenRect(&fForm->Form(), CaptureRect(), true);
        const QImage window = CaptureScreenRect(&fForm->Form(), CaptureRect(), false);
        QCOMPARE(screen.size(), QSize(610, 400));
        QCOMPARE(window.size(), QSize(610, 400));
        for (const QPoint &p : {QPoint(40, 48), QPoint(300, 200), QPoint(536, 108)})
            QVERIFY(Distance(screen.pixelColor(p), window.pixelColor(p)) <= 2);
        QVERIFY(Distance(window.pixelColor(300, 200), fForm->Image1->Picture().pixelColor(300, 192)) <= 2);
        // Parts beyond the window come out black.
        const QImage edge = CaptureScreenRect(
            &fForm->Form(), QRect(fForm->Form().mapToGlobal(QPoint(-20, 30)), QSize(60, 20)), false);
        QCOMPARE(edge.pixelColor(5, 5), QColor(Qt::black));
        QVERIFY(edge.pixelColor(40, 5) != QColor(Qt::black));
    }
};

QTEST_MAIN(TstSnapshot)
#include "SnapshotTest.moc"
