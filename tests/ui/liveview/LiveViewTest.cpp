// The live view: refresh tick, flags, texts and control enabling with frames from a
// synthetic sensor; readouts, the supply-voltage notice, the cursor readout; target
// marker geometry and colours.

#include "pipeline/MLX90640.h"
#include "pipeline/SysFun.h"
#include "sim/SyntheticSensor.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/liveview/LiveViewTexts.h"
#include "ui/liveview/TargetMarks.h"
#include "ui/liveview/TargetMarksPaint.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StatusPanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <array>
#include <cmath>

namespace {

using TSceneTemps = std::array<double, kMlxPixels>;

// A 25 °C scene with a hot pixel at sensor column 0, row 5 and a cold one at column
// 21, row 0; the window mirrors left and right, so they show at columns 31 and 10.
TSceneTemps HotColdScene() {
    TSceneTemps s;
    s.fill(25.0);
    s[5 * 32 + 0] = 80.0;
    s[0 * 32 + 21] = 2.0;
    return s;
}

class TSynthModule {
public:
    TSynthModule() : fCalibration(RealisticCalibration()) {
        MLX90640_ExtractParameters(fCalibration.data(), fParams);
    }
    TUINT16s Calibration() const {
        TUINT16s words(fCalibration.begin(), fCalibration.end());
        words.push_back(0);  // handed over as 833 words
        return words;
    }
    TUINT16s Frame(const TSceneTemps &scene, int subpage, double vdd = 3.3) const {
        TFrameConditions c;
        c.subpage = subpage;
        c.vdd = vdd;
        c.emissivity = 0.95;
        const std::vector<uint16_t> w = TFrameSynthesizer(fParams).Render(scene.data(), c);
        return TUINT16s(w.begin(), w.end());
    }

private:
    std::vector<uint16_t> fCalibration;
    TParamsMLX90640 fParams{};
};

QColor ColorOfWord(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

bool SamePixels(const QImage &shown, const TBitmap24 &bmp) {
    if (shown.width() != bmp.Width() || shown.height() != bmp.Height())
        return false;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (shown.pixelColor(x, y) != ColorOfWord(bmp.Pixel(x, y)))
                return false;
    return true;
}

int CountColor(const QImage &img, const QRect &box, const QColor &color) {
    int n = 0;
    for (int y = std::max(box.top(), 0); y <= std::min(box.bottom(), img.height() - 1); ++y)
        for (int x = std::max(box.left(), 0); x <= std::min(box.right(), img.width() - 1); ++x)
            n += img.pixelColor(x, y) == color;
    return n;
}

QString Fixed1(double v) {
    return QString::asprintf("%.1f", v);
}

}  // namespace

class TstLiveView : public QObject {
    Q_OBJECT

    TSynthModule fModule;
    std::unique_ptr<TWindowUnderTest> fForm;
    TMLX90640 *Mlx() { return &fForm->Image(); }
    // The module reports a block (as a frame's block would) with this battery voltage
    // and photo count.
    void ReportBlock(uint16_t millivolts, uint16_t photos) {
        fForm->Session().Intake().Core().Status.Change([&](TLinkStatus &s) {
            TSysParsBlock b;
            b.CellMillivolts = millivolts;
            b.SavedPhotoNum = photos;
            s.Block = b;
            s.BlockSource = TBlockSource::FrameBlock;
        });
    }
    void Tick() { fForm->Form().Timer1Timer(fForm->Timer1); }
    int Refreshes() { return fForm->Form().GetpicUpdateRate(); }
    // A frame of each subpage, so every pixel follows the scene.
    void Feed(const TSceneTemps &scene = HotColdScene(), double vdd = 3.3) {
        QVERIFY(Mlx()->SetRAMArr(fModule.Frame(scene, 0, vdd)));
        QVERIFY(Mlx()->SetRAMArr(fModule.Frame(scene, 1, vdd)));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() {
        fForm = MakeShownForm();
        // The tests tick by hand; the rate timer would reset the refresh count.
        fForm->Timer1->stop();
        fForm->Timer2->stop();
        QVERIFY(Mlx()->SetEEPROMArr(fModule.Calibration()));
        QCursor::setPos(QPoint(0, 0));  // away from the picture
    }
    void cleanup() { fForm.reset(); }

    void refreshShowsTheNewestPictureOnceAndCopiesTexts() {
        ReportBlock(3010, 7);
        Feed();
        Feed();  // two pictures before the tick: one refresh shows the newest
        const auto published = Mlx()->GetPublished();
        const TBitmap24 before = published->BmpPic;
        Tick();
        QCOMPARE(Refreshes(), 1);
        QVERIFY(fForm->Form().GetShownFrame() == published);
        QVERIFY(SamePixels(fForm->Image1->Picture(), before));  // markers off: the bitmap unchanged
        QVERIFY(!Mlx()->GetHaveNewDatas() && !Mlx()->GetFrame0Finished() && !Mlx()->GetFrame1Finished());
        QCOMPARE(fForm->lbl_Cell->text(), QStringLiteral("Cell voltage:3010mV"));
        QCOMPARE(fForm->lbl_SavedPhotoNum->text(), QStringLiteral("7"));
        // Readouts of the shown frame, English, with the unit in absolute mode.
        QCOMPARE(published->MaxPix.X, 31);
        QCOMPARE(fForm->lbl_MaxTemp->text(),
                 "Max Temp:" + Fixed1(published->MaxPix.Temperature) + DegreeSign());
        QCOMPARE(fForm->lbl_MinTemp->text(),
                 "Min Temp:" + Fixed1(published->MinPix.Temperature) + DegreeSign());
        QCOMPARE(fForm->lbl_CenterTemp->text(),
                 "Center Temp:" + Fixed1(published->Pixs_Origin[15][12].Temperature) + DegreeSign());
        QCOMPARE(fForm->lbl_AvgTemp->text(), "Ave Temp:" + Fixed1(published->TemperatureAvg) + DegreeSign());
        QCOMPARE(fForm->lbl_Vdd->text(), "Core voltage:" + QString::asprintf("%.2f", published->Vdd) + "V");
        QCOMPARE(fForm->StatusBar1->PanelText(6), QStringLiteral("Toast:"));
        QVERIFY(std::fabs(published->MaxPix.Temperature - 80.0) < 1.0);

        // No new picture: nothing is shown or copied again.
        ReportBlock(2900, 7);
        Tick();
        QCOMPARE(Refreshes(), 1);
        QCOMPARE(fForm->lbl_Cell->text(), QStringLiteral("Cell voltage:3010mV"));

        // The user's decimal separator.
        TScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
        Mlx()->SetHaveNewDatas(true);
        Tick();
        QCOMPARE(fForm->lbl_Vdd->text(),
                 "Core voltage:" + QString::asprintf("%.2f", published->Vdd).replace('.', ',') + "V");

        // New readouts lay nothing out again (the labels are as wide as their group)
        // and show whole.
        TEventCounter layoutRequests(QEvent::LayoutRequest);
        layoutRequests.Watch(fForm->grp_RTDatas);
        Feed(HotColdScene(), 3.1);
        Tick();
        QCoreApplication::processEvents();
        QCOMPARE(layoutRequests.Count(), 0);
        QCOMPARE(fForm->lbl_Vdd->text(), QStringLiteral("Core voltage:3,10V"));
        for (QLabel *readout : {fForm->lbl_Vdd, fForm->lbl_MaxTemp, fForm->lbl_AvgTemp})
            QVERIFY(readout->fontMetrics().horizontalAdvance(readout->text()) <= readout->width());
    }

    void statusPanelsAndControlEnabling() {
        TFrameIntake &intake = fForm->Session().Intake();
        intake.Core().Status.Change([](TLinkStatus &s) {
            s.LastType = TFrameType::FRM;
            s.LastLength = 1677;
            s.LastSubpage = 1;
            s.Check = TCheckVerdict::Correct;
        });
        const QString panel3 = fForm->StatusBar1->PanelText(3);
        Tick();  // the texts wait for news of received bytes
        QCOMPARE(fForm->StatusBar1->PanelText(3), panel3);
        const std::vector<uint8_t> bytes(100, 0x11);
        intake.Comm1ReceiveData(bytes.data(), uint16_t(bytes.size()));
        Tick();  // and need no picture
        QCOMPARE(Refreshes(), 0);
        QVERIFY(!intake.HasReceiveNews());
        QCOMPARE(fForm->StatusBar1->PanelText(2), QStringLiteral("Recv:100Bytes"));
        QCOMPARE(fForm->StatusBar1->PanelText(3), QStringLiteral("Frame1 1677"));
        QCOMPARE(fForm->StatusBar1->PanelText(4), QStringLiteral("Data check correct"));

        const QList<QWidget *> device{
            fForm->cbb_ADCResolution, fForm->cbb_RefreshRate, fForm->cbb_ArrangeMode, fForm->chk_AutoSend,
            fForm->cbb_OutPortNum,    fForm->cbb_OutBaud,     fForm->chk_LedEN,       fForm->chk_FrmHalf};
        const QList<QWidget *> photo{fForm->btn_SaveOnePhoto,    fForm->btn_ReadLastPhoto,
                                     fForm->edt_CurrentPhotoNum, fForm->btn_ReadOnePhoto,
                                     fForm->btn_ClearAllPhoto,   fForm->btn_Reboot,
                                     fForm->btn_SetParsDef,      fForm->btn_SetDT};
        auto allEnabled = [](const QList<QWidget *> &ws, bool on) {
            return std::all_of(ws.begin(), ws.end(), [on](QWidget *w) { return w->isEnabled() == on; });
        };
        QVERIFY(allEnabled(device, false) && allEnabled(photo, false));
        intake.Core().SYSIsOK.store(true);
        Tick();
        QVERIFY(allEnabled(device, true) && allEnabled(photo, false));
        // No photo saved: the photo controls come on, the browsing buttons stay off.
        intake.Core().EEIsOK.store(true);
        Tick();
        QVERIFY(allEnabled(photo, true));
        QCOMPARE(fForm->edt_CurrentPhotoNum->text(), QStringLiteral("0"));
        QVERIFY(!fForm->btn_ReadPrivPhoto->isEnabled() && !fForm->btn_ReadNextPhoto->isEnabled());
        // Enabling is one-way and happens once.
        fForm->cbb_RefreshRate->setEnabled(false);
        Tick();
        QVERIFY(!fForm->cbb_RefreshRate->isEnabled());
    }

    void photoBoxDecidesTheBrowsingButtonsWhenEnabled() {
        // At the last of five saved photos "next" stays off when the column comes on.
        ReportBlock(3000, 5);
        fForm->edt_CurrentPhotoNum->setText(QStringLiteral("5"));
        fForm->Session().Intake().Core().EEIsOK.store(true);
        Tick();
        QVERIFY(fForm->btn_SaveOnePhoto->isEnabled());
        QVERIFY(fForm->btn_ReadPrivPhoto->isEnabled());
        QVERIFY(!fForm->btn_ReadNextPhoto->isEnabled());
    }

    void doubleFrameRuleAndEffects() {
        fForm->chk_DouFrameUpdate->setChecked(true);
        QVERIFY(Mlx()->SetRAMArr(fModule.Frame(HotColdScene(), 0)));
        QVERIFY(Mlx()->SetRAMArr(fModule.Frame(HotColdScene(), 0)));
        Tick();  // subpage 0 alone shows nothing
        QCOMPARE(Refreshes(), 0);
        QVERIFY(!fForm->Form().GetShownFrame());
        // All four effects, in their order, on the shown copy only.
        for (QCheckBox *box : {fForm->chk_Sharpen, fForm->chk_Blur, fForm->chk_Negative, fForm->chk_Exposure})
            box->setChecked(true);
        QVERIFY(Mlx()->SetRAMArr(fModule.Frame(HotColdScene(), 1)));
        const TBitmap24 original = Mlx()->GetPublished()->BmpPic;
        Tick();
        QCOMPARE(Refreshes(), 1);
        QVERIFY(!Mlx()->GetHaveNewDatas() && !Mlx()->GetFrame0Finished() && !Mlx()->GetFrame1Finished());
        TBitmap24 expected = original;
        Sharpen(expected);
        Blur(expected);
        Negative(expected);
        Exposure(expected);
        QVERIFY(SamePixels(fForm->Image1->Picture(), expected));
        QVERIFY(Mlx()->GetPublished()->BmpPic == original);

        // Without the rule a single subpage is enough; the thread path ignores both the
        // rule and the effects and copies no texts.
        fForm->chk_DouFrameUpdate->setChecked(false);
        ReportBlock(1234, 0);
        fForm->Form().DoTimer(nullptr);  // no new data: no thread
        QTest::qWait(20);
        QCOMPARE(Refreshes(), 1);
        QVERIFY(Mlx()->SetRAMArr(fModule.Frame(HotColdScene(), 0)));
        fForm->Form().DoTimer(nullptr);
        QTRY_COMPARE(Refreshes(), 2);
        QVERIFY(SamePixels(fForm->Image1->Picture(), Mlx()->GetPublished()->BmpPic));
        QVERIFY(!Mlx()->GetHaveNewDatas());
        QVERIFY(fForm->lbl_Cell->text() != QStringLiteral("Cell voltage:1234mV"));
        QTest::qWait(50);  // the thread ends and frees itself
    }

    void degreeSignFollowsWhatTheObjectComputes() {
        // Typed text that matches no item switches the object to image values; the
        // list still shows its first item to Qt, but no reading may carry "℃".
        TypeInto(fForm->cbb_PixsType, QStringLiteral("Ima"));
        QCOMPARE(Mlx()->GetPixsType(), PXT_Image);
        QCOMPARE(fForm->cbb_PixsType->currentIndex(), 0);
        Feed();
        Tick();
        QVERIFY2(!fForm->lbl_MaxTemp->text().contains(DegreeSign()), qPrintable(fForm->lbl_MaxTemp->text()));
        // Editing ends: the list returns to "Temperature" and the object follows.
        QTest::keyClick(fForm->cbb_PixsType->lineEdit(), Qt::Key_Return);
        QCOMPARE(fForm->cbb_PixsType->currentText(), QStringLiteral("Temperature"));
        QCOMPARE(Mlx()->GetPixsType(), PXT_Temp);
        Feed();
        Tick();
        QVERIFY(fForm->lbl_MaxTemp->text().endsWith(DegreeSign()));
    }

    void legendBelongsToTheFrameOnScreen() {
        Mlx()->SetTemperature_UpLowAuto(false);
        Mlx()->SetTemperature_LowerLimit(0.0);
        Mlx()->SetTemperature_UpperLimit(35.0);
        Feed();
        Tick();
        QCOMPARE(fForm->lbl_ColorLegend[0]->text(), QStringLiteral("35.0"));
        // The object takes a new range and palette for its next frame; a refresh of the
        // legend meanwhile still shows the scale of the picture beside it.
        const QImage shown = fForm->img_ColorLegend->Picture();
        Mlx()->SetTemperature_UpperLimit(50.0);
        Mlx()->SetGrayColor_SubMeth(GCM_Gray);
        fForm->Form().DrawColorLegend();
        QCOMPARE(fForm->lbl_ColorLegend[0]->text(), QStringLiteral("35.0"));
        QCOMPARE(fForm->img_ColorLegend->Picture(), shown);
        // The next frame brings its scale along.
        Feed();
        Tick();
        QCOMPARE(fForm->lbl_ColorLegend[0]->text(), QStringLiteral("50.0"));
        QVERIFY(fForm->img_ColorLegend->Picture() != shown);
    }

    void markersOnThePictureNotOnTheBitmap() {
        fForm->chk_ShowTarget->setChecked(true);
        fForm->chk_ShowTarget_Text->setChecked(true);
        fForm->edt_TargetSize->setText(QStringLiteral("25"));  // arms of 12
        Feed();
        const auto frame = Mlx()->GetPublished();
        const TBitmap24 original = frame->BmpPic;
        Tick();
        const QImage &shown = fForm->Image1->Picture();
        QVERIFY(frame->BmpPic == original);
        const TPixel &max = frame->MaxPix, &min = frame->MinPix;
        QCOMPARE(QPoint(max.X, max.Y), QPoint(31, 5));
        QCOMPARE(QPoint(min.X, min.Y), QPoint(10, 0));
        // Arm pixels in the inverse colours: maximum (505, 89), minimum (169, 9), centre.
        QCOMPARE(shown.pixelColor(505, 89 - 6), ColorOfWord(RGBColorInverse(max.Color)));
        QCOMPARE(shown.pixelColor(169 - 6, 9), ColorOfWord(RGBColorInverse(min.Color)));
        QCOMPARE(shown.pixelColor(255 - 6, 191),
                 ColorOfWord(RGBColorInverse(frame->Pixs_Origin[15][12].Color)));
        // The minimum's value text right of its mark at row 9, in the colour that
        // stands out against the picture at its anchor.
        const QColor font = ColorOfWord(RGBColorInverse(original.Pixel(185, 9)));
        QVERIFY(CountColor(shown, QRect(185, 9, 60, 24), font) > 20);
        QCOMPARE(CountColor(QImage(original.Bits(), 512, 384, original.BytesPerLine(), QImage::Format_BGR888),
                            QRect(185, 9, 60, 24), font),
                 0);
    }

    void supplyVoltageNoticeAndImageOnlyMode() {
        QVERIFY(VddIsAbnormal(3.19) && VddIsAbnormal(3.41) && VddIsAbnormal(std::nan("")));
        QVERIFY(!VddIsAbnormal(3.3) && !VddIsAbnormal(3.25));
        QCOMPARE(VddNoticeText(0, 3.41), QStringLiteral("提示消息：传感器VDD异常"));
        QCOMPARE(VddNoticeText(0, 3.3), QStringLiteral("提示消息："));

        PickItem(fForm->cbb_PixsType, 1);  // image only
        QVERIFY(Mlx()->SetRAMArr(fModule.Frame(HotColdScene(), 0, 3.41)));
        Tick();
        QVERIFY(std::fabs(Mlx()->GetPublished()->Vdd - 3.41) < 0.005);
        QCOMPARE(fForm->StatusBar1->PanelText(6), QStringLiteral("Toast:Vdd abnormal"));
        QCOMPARE(Refreshes(), 1);  // the picture is still shown
        for (QLabel *label :
             {fForm->lbl_CenterTemp, fForm->lbl_MaxTemp, fForm->lbl_MinTemp, fForm->lbl_AvgTemp})
            QVERIFY2(!label->text().contains(DegreeSign()), qPrintable(label->text()));
        QVERIFY(fForm->lbl_Ta->text().endsWith(DegreeSign()));
        QCOMPARE(MarkValueText(-3.26, false), QStringLiteral("-3.3"));
        QCOMPARE(MarkValueText(21.04, true), "21.0" + DegreeSign());
        const TLiveReadouts zh = LiveReadouts({3.3, 30.04, 1, 2, 3, 4}, 0, true);
        QCOMPARE(zh.Ta, "外壳温度：30.0" + DegreeSign());
        QCOMPARE(zh.AvgTemp, "平均温度：4.0" + DegreeSign());
    }

    void cursorReadout() {
        // The window follows the cursor through the mouse events it receives (the
        // moves a window system reports over the picture).
        TPictureBox *img = fForm->Image1;
        const auto moveTo = [img](const QPoint &p) {
            QMouseEvent move(QEvent::MouseMove, p, img->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(img, &move);
        };
        moveTo(QPoint(100, 50));
        Feed();
        Tick();
        const auto grid = Mlx()->GetPublished()->Pixs_Interpolation;
        QCOMPARE(fForm->lbl_MouseMoveText->text(), "Mouse Temp:" + Fixed1((*grid)[100][50].Temperature));
        // Moving over a still picture changes nothing.
        moveTo(QPoint(300, 200));
        Tick();
        QCOMPARE(fForm->lbl_MouseMoveText->text(), "Mouse Temp:" + Fixed1((*grid)[100][50].Temperature));
        QCOMPARE(fForm->Form().GetMouseIndex_InImage1().x(), 100);
        // Strict edges: column 0 and row 0 are outside, 511 and 383 inside.
        for (const QPoint &p : {QPoint(0, 10), QPoint(10, 0), QPoint(512, 10), QPoint(10, 384)}) {
            moveTo(p);
            QVERIFY2(!fForm->Form().MouseIsInImage1(), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
        }
        QCOMPARE(fForm->Form().GetMouseIndex_InImage1().x(), 100);  // kept while outside
        moveTo(QPoint(511, 383));
        QVERIFY(fForm->Form().MouseIsInImage1());
        QCOMPARE(
            QPoint(fForm->Form().GetMouseIndex_InImage1().x(), fForm->Form().GetMouseIndex_InImage1().y()),
            QPoint(511, 383));
        // Squeezed to 353 rows, the cursor still names the picture pixel under it.
        PickItem(fForm->cbb_Scale, 1);
        QCOMPARE(img->height(), 353);
        moveTo(QPoint(100, 352));
        QVERIFY(fForm->Form().MouseIsInImage1());
        QCOMPARE(fForm->Form().GetMouseIndex_InImage1().y(), 352 * 384 / 353);
        // Once the cursor has left the window it is over no picture.
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&fForm->Form(), &leave);
        QVERIFY(!fForm->Form().MouseIsInImage1());
        moveTo(QPoint(100, 352));
        QVERIFY(fForm->Form().MouseIsInImage1());
        // Leaving resets the label to its caption.
        emit img->MouseLeft();
        QCOMPARE(fForm->lbl_MouseMoveText->text(), QStringLiteral("Mouse Temp:"));
    }

    void markerParametersAndAnchors() {
        const TMarkParams p = MarkParamsFromTexts("25", "24");
        QVERIFY(p.h == 12 && p.TH == 24 && p.TH2 == 12);
        const TMarkParams bad = MarkParamsFromTexts("abc", "");
        QVERIFY(bad.h == 12 && bad.TH == 24 && bad.TH2 == 12);
        const TMarkParams neg = MarkParamsFromTexts("-7", "-7");
        QVERIFY(neg.h == -3 && neg.TH == -7 && neg.TH2 == -3);

        TMarkTextInputs in;
        in.MinMark = SensorMarkPoint(10, 0);   // (169, 9)
        in.MaxMark = SensorMarkPoint(31, 20);  // (505, 329)
        in.MinValue = "2.0℃";
        in.MaxValue = "80.0℃";
        in.CentreValue = "25.0℃";
        auto anchors = [](const std::vector<TMarkText> &texts) {
            QList<QPoint> a;
            for (const TMarkText &t : texts)
                a << QPoint(int(t.Anchor.x), int(t.Anchor.y));
            return a;
        };
        // Values only: minimum right of its mark at its row (upper half), maximum left
        // of its mark and TH above it (lower half), centre right of the centre.
        QCOMPARE(anchors(TargetTexts(in, p)),
                 (QList<QPoint>{{185, 9}, {505 - 16 - 5 * 12, 329 - 24}, {271, 191}}));
        // With the cursor and names: cursor value first, names after the values.
        in.Cursor = TMarkPoint{400, 10};
        in.CursorValue = "30.0";
        in.ShowNames = true;
        const auto texts = TargetTexts(in, p);
        QCOMPARE(texts.size(), size_t(8));
        QCOMPARE(texts[4].Text, QStringLiteral("Min"));
        QCOMPARE(anchors(texts), (QList<QPoint>{{400 - 16 - 4 * 12, -14},
                                                {185, 9},
                                                {429, 305},
                                                {271, 191},
                                                {169 - 18, 25},
                                                {505 - 18, 329 - 40},
                                                {255 - 36, 151},
                                                {400 - 30, 10 - 40}}));
        in.Cursor = TMarkPoint{399, 10};
        in.LanguageNum = 0;
        const auto zh = TargetTexts(in, neg);
        QCOMPARE(zh[0].Anchor.x, int64_t(399 - 3 + 4));
        QCOMPARE(zh[4].Text, QStringLiteral("最低"));
        in.LanguageNum = 1;
        QCOMPARE(TargetTexts(in, neg)[4].Anchor.x, int64_t(169 + 4));  // (3 * -3) / 2 truncates to -4
        QCOMPARE(MarkParamsFromTexts("2147483647", "2147483647").TH2, int64_t(1073741823));
        const auto huge = TargetTexts(in, MarkParamsFromTexts("2147483647", "2147483647"));
        QCOMPARE(huge[2].Anchor.x, 505 - 1073741823 - 4 - 5 * int64_t(1073741823));
    }

    void textColoursReadThePictureAsDrawn() {
        QImage pic(120, 80, QImage::Format_RGB32);
        pic.fill(QColor(120, 60, 200));
        const TMarkParams p = MarkParamsFromTexts("24", "20");
        // A text on the plain picture, one whose anchor lies on a red arm, one above
        // the picture (read as white: black text).
        const std::vector<TMarkCross> crosses{{{60, 60}, 0x0000FF}};
        const std::vector<TMarkText> texts{{"88", {5, 5}}, {"88", {60, 54}}, {"88", {80, -8}}};
        PaintTargetMarks(pic, crosses, texts, p);
        QCOMPARE(pic.pixelColor(52, 60), QColor(255, 0, 0));
        QVERIFY(CountColor(pic, QRect(5, 5, 30, 22), QColor(255, 195, 55)) > 10);
        QVERIFY(CountColor(pic, QRect(60, 54, 30, 22), QColor(0, 255, 255)) > 10);
        QVERIFY(CountColor(pic, QRect(80, 0, 30, 14), QColor(0, 0, 0)) > 5);
        QCOMPARE(CountColor(pic, QRect(0, 30, 40, 20), QColor(120, 60, 200)), 40 * 20);
        // A text anchored on a glyph of the text drawn before it contrasts with that glyph.
        QImage plain(120, 80, QImage::Format_RGB32);
        plain.fill(QColor(120, 60, 200));
        QImage first = plain;
        PaintTargetMarks(first, {}, {{"88", {5, 5}}}, p);
        QPoint glyph(-1, -1);
        for (int y = 5; y < 30 && glyph.x() < 0; ++y)
            for (int x = 5; x < 40 && glyph.x() < 0; ++x)
                if (first.pixelColor(x, y) == QColor(255, 195, 55))
                    glyph = QPoint(x, y);
        QVERIFY(glyph.x() >= 0);
        PaintTargetMarks(plain, {}, {{"88", {5, 5}}, {"88", {glyph.x(), glyph.y()}}}, p);
        QVERIFY(CountColor(plain, QRect(glyph, QSize(30, 22)), QColor(0, 60, 200)) > 10);
        // The unit is drawn, not left as a blank (some fonts have an empty "℃").
        QImage unit(40, 30, QImage::Format_RGB32);
        unit.fill(QColor(120, 60, 200));
        PaintTargetMarks(unit, {}, {{DegreeSign(), {2, 2}}}, p);
        QVERIFY(CountColor(unit, unit.rect(), QColor(255, 195, 55)) > 10);
        // Absurd sizes are cut off at the picture, not a fault.
        const TMarkParams huge = MarkParamsFromTexts("2147483647", "2147483647");
        PaintTargetMarks(pic, {{{60, 40}, 0}}, {{"1", {-5, -5}}}, huge);
        QCOMPARE(pic.pixelColor(0, 40), QColor(0, 0, 0));
        QCOMPARE(pic.pixelColor(119, 40), QColor(0, 0, 0));
    }
};

QTEST_MAIN(TstLiveView)
#include "LiveViewTest.moc"
