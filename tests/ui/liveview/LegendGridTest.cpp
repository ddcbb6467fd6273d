// The colour legend and the data grid.

#include "pipeline/ColorMap.h"
#include "pipeline/MLX90640.h"
#include "pipeline/PipelineBuffers.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StringGrid.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

namespace {

QColor ColorOfWord(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QStringList LegendTexts(const TWindowUnderTest &form) {
    QStringList texts;  // label 1 (top) to label 11 (bottom)
    for (const QLabel *label : form.lbl_ColorLegend)
        texts << label->text();
    return texts;
}

// A temperature file: every value 21.5 except the ones given as (column, row, text).
QString TemperatureFile(const QList<std::tuple<int, int, QString>> &values) {
    QString grid[24][32];
    for (auto &row : grid)
        for (auto &v : row)
            v = QStringLiteral("21.5");
    for (const auto &[c, r, text] : values)
        grid[r][c] = text;
    QByteArray contents;
    for (const auto &row : grid) {
        QStringList line;
        for (const auto &v : row)
            line << v;
        contents += line.join(QLatin1Char(' ')).toUtf8() + "\r\n";
    }
    return WriteTempFile(QStringLiteral("temps.txt"), contents);
}

}  // namespace

class TstLegendGrid : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindowUnderTest> fForm;
    TMLX90640 *Mlx() { return &fForm->Image(); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { fForm = MakeShownForm(); }
    void cleanup() {
        fForm.reset();
        GrayToContinuColor_ClassNum.store(1);
    }

    void legendLabelsFollowTheLimits() {
        // Start-up limits 0 and 35, top to bottom.
        QCOMPARE(LegendTexts(*fForm), (QStringList{"35.0", "31.5", "28.0", "24.5", "21.0", "17.5", "14.0",
                                                   "10.5", "7.0", "3.5", "0.0"}));
        Mlx()->SetTemperature_LowerLimit(20.0);
        Mlx()->SetTemperature_UpperLimit(20.0);
        fForm->Form().DrawColorLegend();
        QCOMPARE(LegendTexts(*fForm), QStringList(11, QStringLiteral("20.0")));
        // Reversed limits: the labels descend from the bottom upwards.
        Mlx()->SetTemperature_LowerLimit(30.0);
        Mlx()->SetTemperature_UpperLimit(10.0);
        fForm->Form().DrawColorLegend();
        QCOMPARE(fForm->lbl_ColorLegend[10]->text(), QStringLiteral("30.0"));
        QCOMPARE(fForm->lbl_ColorLegend[5]->text(), QStringLiteral("20.0"));
        QCOMPARE(fForm->lbl_ColorLegend[0]->text(), QStringLiteral("10.0"));
        Mlx()->SetTemperature_LowerLimit(-4.0);
        Mlx()->SetTemperature_UpperLimit(0.5);
        fForm->Form().DrawColorLegend();
        QCOMPARE(fForm->lbl_ColorLegend[10]->text(), QStringLiteral("-4.0"));
        QCOMPARE(fForm->lbl_ColorLegend[9]->text(), QStringLiteral("-3.5"));
        TScopedLocale german{QLocale(QLocale::German, QLocale::Germany)};
        fForm->Form().DrawColorLegend();
        QCOMPARE(fForm->lbl_ColorLegend[9]->text(), QStringLiteral("-3,5"));
    }

    void legendBarShowsThePaletteHotAtTheTop() {
        const QImage &bar = fForm->img_ColorLegend->Picture();
        QCOMPARE(bar.size(), QSize(33, 384));
        auto expectRow = [&](int row, int32_t word) {
            for (int x : {0, 16, 32})
                QCOMPARE(bar.pixelColor(x, row), ColorOfWord(word));
        };
        expectRow(0, GrayToPseColor(GCM_Pseudo2, 255));
        expectRow(191, GrayToPseColor(GCM_Pseudo2, 128));  // 255 - round(127.16)
        expectRow(383, GrayToPseColor(GCM_Pseudo2, 0));
        QVERIFY(bar.pixelColor(0, 0) != bar.pixelColor(0, 383));
        // The continuous colouring of "HSI_2" with coefficient 1.0 and class 2.
        PickItem(fForm->cbb_GrayColor_SubMeth, 11);
        fForm->Form().DrawColorLegend();
        const QImage &hsi = fForm->img_ColorLegend->Picture();
        for (int row : {0, 100, 191, 383}) {
            const int grey = 255 - qRound(row / 383.0 * 255.0);
            QCOMPARE(hsi.pixelColor(5, row), ColorOfWord(GrayToContinuColor(CCK_1_0, grey, 2)));
        }
        // A converter that produces no colours gives a black bar; the labels still follow.
        Mlx()->SetTempToColorConverMeth(CM_DenLayer);
        fForm->Form().DrawColorLegend();
        QCOMPARE(fForm->img_ColorLegend->Picture().pixelColor(3, 200), QColor(0, 0, 0));
        // A legend one row high or empty has nothing to divide by: no failure.
        Mlx()->SetTempToColorConverMeth(CM_GrayColor);
        fForm->img_ColorLegend->resize(33, 1);
        fForm->Form().DrawColorLegend();
        QCOMPARE(fForm->img_ColorLegend->Picture().size(), QSize(33, 1));
        QCOMPARE(fForm->img_ColorLegend->Picture().pixelColor(0, 0),
                 ColorOfWord(GrayToPseColor(GCM_Pseudo2, 255)));
        fForm->img_ColorLegend->resize(33, 0);
        fForm->Form().DrawColorLegend();
        QCOMPARE(fForm->lbl_ColorLegend[0]->text(), QStringLiteral("35.0"));
    }

    void gridHeadersAndEmptyBlackCellsBeforeTheFirstFrame() {
        TStringGrid *grid = fForm->StringGrid1;
        QCOMPARE(grid->ColCount(), 33);
        QCOMPARE(grid->RowCount(), 25);
        QCOMPARE(grid->ColWidth(0), 50);
        QCOMPARE(grid->RowHeight(0), 50);
        QCOMPARE(grid->ColWidth(32), 20);
        QCOMPARE(grid->RowHeight(24), 20);
        QCOMPARE(grid->Cell(0, 0), QString());
        QCOMPARE(grid->Cell(1, 0), QStringLiteral("1"));
        QCOMPARE(grid->Cell(32, 0), QStringLiteral("32"));
        QCOMPARE(grid->Cell(0, 24), QStringLiteral("24"));
        QCOMPARE(grid->Cell(5, 5), QString());
        fForm->Form().DatasUpdateToGrid();  // no frame yet: nothing to show
        QCOMPARE(grid->Cell(5, 5), QString());
        const QImage shot = grid->viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(grid->CellRect(1, 1).center()), QColor(0, 0, 0));
        QCOMPARE(shot.pixelColor(grid->CellRect(32, 24).center()), QColor(0, 0, 0));
        QVERIFY(shot.pixelColor(grid->CellRect(3, 0).topLeft() + QPoint(2, 2)) != QColor(0, 0, 0));
    }

    void gridShowsTheFramesTemperaturesAndColours() {
        Mlx()->LoadDatasFromTemperatureFile(TemperatureFile({{0, 0, QStringLiteral("25")},
                                                             {1, 0, QStringLiteral("23.4567890123456789")},
                                                             {31, 23, QStringLiteral("34")},
                                                             {4, 2, QStringLiteral("-3.25")}})
                                                .toStdString(),
                                            ".");
        fForm->Form().DatasUpdateToGrid();
        TStringGrid *grid = fForm->StringGrid1;
        QCOMPARE(grid->Cell(1, 1), QStringLiteral("25"));
        QCOMPARE(grid->Cell(2, 1), QStringLiteral("23.4567890123457"));
        QCOMPARE(grid->Cell(32, 24), QStringLiteral("34"));
        QCOMPARE(grid->Cell(5, 3), QStringLiteral("-3.25"));
        QCOMPARE(grid->Cell(7, 7), QStringLiteral("21.5"));
        QCOMPARE(grid->Cell(1, 0), QStringLiteral("1"));  // headers stay
        // Every data cell shows only the colour of its pixel.
        const auto frame = Mlx()->GetPublished();
        QVERIFY(frame);
        const QImage shot = grid->viewport()->grab().toImage();
        for (const QPoint cell : {QPoint(1, 1), QPoint(2, 1), QPoint(32, 24), QPoint(5, 3), QPoint(7, 7)}) {
            const int32_t word = frame->Pixs_Origin[size_t(cell.x() - 1)][size_t(cell.y() - 1)].Color;
            QCOMPARE(shot.pixelColor(grid->CellRect(cell.x(), cell.y()).center()), ColorOfWord(word));
        }
        QVERIFY(shot.pixelColor(grid->CellRect(32, 24).center()) !=
                shot.pixelColor(grid->CellRect(5, 3).center()));
        // The locale's decimal separator.
        TScopedLocale german{QLocale(QLocale::German, QLocale::Germany)};
        fForm->Form().DatasUpdateToGrid();
        QCOMPARE(grid->Cell(7, 7), QStringLiteral("21,5"));
        QCOMPARE(grid->Cell(1, 1), QStringLiteral("25"));
    }

    void gridShowsTheFrameWhosePictureIsOnShow() {
        Mlx()->LoadDatasFromTemperatureFile(TemperatureFile({{0, 0, QStringLiteral("25")}}).toStdString(),
                                            ".");
        fForm->Form().Timer1Timer(nullptr);  // this frame's picture is shown
        QCOMPARE(fForm->StringGrid1->Cell(1, 1), QStringLiteral("25"));
        // A newer frame published meanwhile does not reach the grid before its picture.
        Mlx()->LoadDatasFromTemperatureFile(TemperatureFile({{0, 0, QStringLiteral("30")}}).toStdString(),
                                            ".");
        fForm->Form().DatasUpdateToGrid();
        QCOMPARE(fForm->StringGrid1->Cell(1, 1), QStringLiteral("25"));
        fForm->Form().Timer1Timer(nullptr);
        QCOMPARE(fForm->StringGrid1->Cell(1, 1), QStringLiteral("30"));
    }
};

QTEST_MAIN(TstLegendGrid)
#include "LegendGridTest.moc"
