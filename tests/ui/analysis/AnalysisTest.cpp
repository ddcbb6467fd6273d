// Regions drawn on the picture like a user would (drag, Shift-drag, Ctrl-click,
// click to select, Delete), kept through option changes and in snapshots; the
// analysis window's table, alarm, isotherm, trend export and captions.

#include "ui/analysis/Analysis.h"

#include "pipeline/MLX90640.h"
#include "ui/CaptionFit.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/analysis/AnalysisPaint.h"
#include "ui/analysis/Form_Analysis.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StatusPanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// 20 °C everywhere but sensor cell (10, 5) at `hot` °C; a file is shown unmirrored,
// so the cell's value lands on picture pixel (169, 89).
QString HotCellFile(double hot) {
    QByteArray contents;
    for (int r = 0; r < 24; ++r) {
        QStringList line;
        for (int c = 0; c < 32; ++c)
            line << QString::number(c == 10 && r == 5 ? hot : 20.0);
        contents += line.join(QLatin1Char(' ')).toUtf8() + "\n";
    }
    return WriteTempFile(QStringLiteral("hot%1.txt").arg(hot), contents);
}

int Distance(const QColor &a, const QColor &b) {
    return std::max(
        {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

int CountColour(const QImage &image, const QRect &area, const QColor &colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
}

}  // namespace

class TstAnalysis : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindowUnderTest> fForm;
    TAnalysis &Analysis() { return fForm->Form().Analysis(); }

    void ShowFrame(double hot = 50.0) {
        fForm->Image().LoadDatasFromTemperatureFile(HotCellFile(hot).toStdString());
        fForm->Form().Timer1Timer(fForm->Timer1);
        QVERIFY(fForm->Form().GetShownFrame());
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = {}) {
        QTest::mousePress(fForm->Image1, Qt::LeftButton, mods, from);
        QTest::mouseMove(fForm->Image1, (from + to) / 2);
        QTest::mouseMove(fForm->Image1, to);
        QTest::mouseRelease(fForm->Image1, Qt::LeftButton, mods, to);
    }
    TForm_Analysis *OpenWindow() {
        auto *button = fForm->Form().findChild<QPushButton *>(QStringLiteral("btn_Analysis"));
        if (!button)
            qFatal("no btn_Analysis");
        QTest::mouseClick(button, Qt::LeftButton);
        return fForm->Form().AnalysisWindow();
    }
    template <class W>
    W *InWindow(const char *name) {
        W *w = fForm->Form().AnalysisWindow()->findChild<W *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s in the analysis window", name);
        return w;
    }

private slots:
    void init() {
        fForm = MakeShownForm();
        fForm->Timer1->stop();
        fForm->Timer2->stop();
        fForm->Form().showNormal();
        fForm->Form().setGeometry(0, 0, 1500, 760);
        QTest::qWait(20);
    }
    void cleanup() { fForm.reset(); }

    void gesturesCreateSelectAndDeleteRegions() {
        ShowFrame();
        const QImage bitmapOnly = fForm->Image1->Picture().copy();
        Drag(QPoint(150, 70), QPoint(190, 110));
        QCOMPARE(Analysis().RegionCount(), 1);
        QCOMPARE(Analysis().Region(0)->Kind, RK_Box);
        QCOMPARE(Analysis().Region(0)->A, (TRegionPoint{150, 70}));
        QCOMPARE(Analysis().Region(0)->B, (TRegionPoint{190, 110}));
        // Measured at once from the frame on screen, and drawn into the picture.
        QVERIFY(Analysis().Stats(0).Valid);
        QCOMPARE(Analysis().Stats(0).Max, 50.0);
        // Sensor cell (10, 5) is carried to picture pixel (16 * 10 + 9, 16 * 5 + 9).
        QCOMPARE(Analysis().Stats(0).MaxAt, (TRegionPoint{169, 89}));
        QVERIFY(fForm->Image1->Picture().pixelColor(170, 70) != bitmapOnly.pixelColor(170, 70));
        // Its number "1" inside the top-left corner, in yellow while it is selected.
        const QRect numberArea(152, 72, 12, 16);
        QVERIFY(CountColour(fForm->Image1->Picture(), numberArea, QColor(255, 255, 0)) > 0);

        Drag(QPoint(300, 300), QPoint(400, 320), Qt::ShiftModifier);
        QCOMPARE(Analysis().Region(1)->Kind, RK_Line);
        QTest::mouseClick(fForm->Image1, Qt::LeftButton, Qt::ControlModifier, QPoint(450, 50));
        QCOMPARE(Analysis().Region(2)->Kind, RK_Spot);
        QCOMPARE(Analysis().Region(2)->A, (TRegionPoint{450, 50}));
        QCOMPARE(Analysis().Selected(), 2);
        ShowFrame();
        QCOMPARE(CountColour(fForm->Image1->Picture(), numberArea, QColor(255, 255, 0)), 0);
        QVERIFY(CountColour(fForm->Image1->Picture(), numberArea, QColor(255, 255, 255)) > 0);
        // A short drag is a click: it selects what lies under it, or nothing.
        Drag(QPoint(170, 90), QPoint(171, 91));
        QCOMPARE(Analysis().RegionCount(), 3);
        QCOMPARE(Analysis().Selected(), 0);
        QTest::mouseClick(fForm->Image1, Qt::LeftButton, {}, QPoint(350, 310));
        QCOMPARE(Analysis().Selected(), 1);
        QTest::keyClick(fForm->Image1, Qt::Key_Delete);
        QCOMPARE(Analysis().RegionCount(), 2);
        QVERIFY(!Analysis().HasRegion(1));
        // A new region takes the free number.
        Drag(QPoint(10, 10), QPoint(40, 40));
        QVERIFY(Analysis().HasRegion(1));
        for (int k = 0; k < 6; ++k)
            QTest::mouseClick(fForm->Image1, Qt::LeftButton, Qt::ControlModifier, QPoint(20 + 30 * k, 300));
        QCOMPARE(Analysis().RegionCount(), 8);  // the ninth was refused

        // Kept when the picture's options change and the next frame comes.
        fForm->chk_Mirror_LR->setChecked(false);
        fForm->chk_ShowTarget->setChecked(true);
        ShowFrame(60.0);
        QCOMPARE(Analysis().RegionCount(), 8);
        QCOMPARE(Analysis().Stats(0).Max, 60.0);
    }

    void snapshotIncludesTheRegions() {
        QTemporaryDir programDir;
        fForm->Form().SetApplicationPathStr(programDir.path() + QLatin1Char('/'));
        QVERIFY(QDir(programDir.path()).mkdir(QStringLiteral("Photos")));
        ShowFrame();
        const QImage bitmapOnly = fForm->Image1->Picture().copy();
        Drag(QPoint(100, 100), QPoint(300, 250));
        QTest::qWait(50);
        QTest::mouseDClick(fForm->Image1, Qt::LeftButton, {}, QPoint(400, 300));
        const QStringList jpegs =
            QDir(programDir.filePath(QStringLiteral("Photos"))).entryList({QStringLiteral("*.jpg")});
        QCOMPARE(jpegs.size(), 1);
        const QImage jpeg(programDir.filePath(QStringLiteral("Photos/") + jpegs[0]));
        // The box's top edge, 8 rows down in the file: the outline, not the bitmap.
        const QPoint edge(200, 100);
        const QColor inFile = jpeg.pixelColor(edge + QPoint(0, 8));
        QVERIFY(Distance(inFile, fForm->Image1->Picture().pixelColor(edge)) <
                Distance(inFile, bitmapOnly.pixelColor(edge)));
        QCOMPARE(Analysis().RegionCount(), 1);  // the double-click made none
    }

    void tableAlarmAndIsotherm() {
        ShowFrame();
        Drag(QPoint(150, 70), QPoint(190, 110));
        TForm_Analysis *window = OpenWindow();
        QVERIFY(window && window->isVisible());
        auto *table = InWindow<QTableWidget>("tbl_Regions");
        QCOMPARE(table->rowCount(), 1);
        window->Refresh();
        QCOMPARE(table->item(0, 3)->text(), QLocale().toString(50.0, 'f', 1));
        QCOMPARE(table->item(0, 2)->text(), QLocale().toString(20.0, 'f', 1));
        // 150..190 x 70..110 touches sensor columns 9..11 and rows 4..6.
        QCOMPARE(table->item(0, 5)->text(), QStringLiteral("9"));
        // A new name from the table.
        table->item(0, 0)->setText(QStringLiteral("chip"));
        QCOMPARE(Analysis().RegionName(0), QStringLiteral("chip"));

        // Alarm on the region's maximum (a file leaves the frame's own statistics as
        // they were) above 50: equal is no alarm; 55 is, once, with panel 6 and a red
        // frame.
        PickItem(InWindow<QComboBox>("cbb_AlarmReadout"), 1);
        TypeInto(InWindow<QLineEdit>("edt_AlarmAbove"), QStringLiteral("50"));
        InWindow<QCheckBox>("chk_Alarm")->setChecked(true);
        ShowFrame(50.0);
        auto *log = InWindow<QListWidget>("lst_AlarmLog");
        QCOMPARE(log->count(), 0);
        ShowFrame(55.0);
        ShowFrame(56.0);
        QCOMPARE(log->count(), 1);
        QVERIFY(log->item(0)->text().contains(QLocale().toString(55.0, 'f', 1)));
        QVERIFY(fForm->StatusBar1->PanelText(6).contains(QStringLiteral("Alarm")));
        QCOMPARE(fForm->Image1->Picture().pixelColor(1, 200), kAlarmFrameColor);
        ShowFrame(40.0);
        QVERIFY(!fForm->StatusBar1->PanelText(6).contains(QStringLiteral("Alarm")));
        QVERIFY(fForm->Image1->Picture().pixelColor(1, 200) != kAlarmFrameColor);

        // Isotherm 25..45: the slope beside the hot cell (28.75 °C 9 pixels left of
        // it) in the highlight, the 20 °C background not.
        TypeInto(InWindow<QLineEdit>("edt_IsoLow"), QStringLiteral("25"));
        TypeInto(InWindow<QLineEdit>("edt_IsoHigh"), QStringLiteral("45"));
        InWindow<QCheckBox>("chk_Isotherm")->setChecked(true);
        QCOMPARE(fForm->Image1->Picture().pixelColor(160, 89), kIsothermColor);
        QVERIFY(fForm->Image1->Picture().pixelColor(400, 300) != kIsothermColor);

        // The English captions fit, the window's included.
        QTest::qWait(20);
        const QStringList problems = CaptionProblems(*window);
        for (const QString &p : problems)
            qWarning("%s", qPrintable(p));
        QVERIFY(problems.isEmpty());

        // Removed from the table: its row selected, Delete.
        table->selectRow(0);
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Delete);
        QCOMPARE(Analysis().RegionCount(), 0);
        QCOMPARE(table->rowCount(), 0);
    }

    void exportWritesTheTrendAsCsv() {
        ShowFrame();
        Drag(QPoint(150, 70), QPoint(190, 110));
        for (double hot : {30.0, 40.0, 50.0})
            ShowFrame(hot);
        TForm_Analysis *window = OpenWindow();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trend.csv"));
        window->SetExportFileChooser([path] { return path; });
        TScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
        QTest::mouseClick(InWindow<QPushButton>("btn_ExportTrend"), Qt::LeftButton);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("time_s,Frame max,Frame min,Frame avg,R1 max"));
        // Four frames shown (the region came with the second); the last three carry it.
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[1].endsWith(QLatin1Char(',')));
        QVERIFY(lines[2].endsWith(QStringLiteral(",30.00")));
        QVERIFY(lines[4].endsWith(QStringLiteral(",50.00")));
        // The frame's maximum of a file is the object's last frame maximum: a number.
        QCOMPARE(lines[4].count(QLatin1Char(',')), 4);
        // A folder that cannot be written reports failure and leaves no file.
        QVERIFY(!window->ExportTrend(dir.filePath(QStringLiteral("missing/trend.csv"))));
    }
};

QTEST_MAIN(TstAnalysis)
#include "AnalysisTest.moc"
