// The main window after start: controls and their initial state, layout after
// resizing, English captions, title and status panels.

#include "e2e/LinkTestKit.h"
#include "pipeline/MLX90640.h"
#include "timing/utTimer.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/support/BuildInfo.h"
#include "ui/support/FileTime.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/EditableList.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StatusPanels.h"
#include "ui/widgets/StringGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

namespace {

QStringList Items(const QComboBox *box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

}  // namespace

class TstMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void everyControlExistsUnderItsName() {
        auto form = MakeShownForm();
        const char *const names[] = {"ScrollBox1",
                                     "StatusBar1",
                                     "Image1",
                                     "img_ColorLegend",
                                     "StringGrid1",
                                     "Panel1",
                                     "Panel2",
                                     "Panel3",
                                     "Panel4",
                                     "grp_COMSet",
                                     "lbl_ComPort_Text",
                                     "cbb_Port",
                                     "lbl_Baud_Text",
                                     "cbb_Baud",
                                     "edt_ComTimeout",
                                     "shp_led",
                                     "Label64",
                                     "shp_TX",
                                     "Label65",
                                     "shp_RX",
                                     "btn_Connect",
                                     "btn_GetCalibInfo",
                                     "edt_Tx",
                                     "btn_SendCmd",
                                     "btn_Connect2",
                                     "grp_CameraPars",
                                     "lbl_ADCResolution_Text",
                                     "cbb_ADCResolution",
                                     "lbl_RefreshRate_Text",
                                     "cbb_RefreshRate",
                                     "lbl_ArrangeMode_Text",
                                     "cbb_ArrangeMode",
                                     "chk_AutoSend",
                                     "cbb_OutPortNum",
                                     "lbl_DelayMs_Text",
                                     "edt_DelayMs",
                                     "cbb_OutBaud",
                                     "chk_LedEN",
                                     "chk_FrmHalf",
                                     "lbl_Cell",
                                     "lbl_RTC",
                                     "lbl_SavedPhotoNum_Caption",
                                     "lbl_SavedPhotoNum",
                                     "Label9",
                                     "btn_SaveOnePhoto",
                                     "btn_ReadLastPhoto",
                                     "edt_CurrentPhotoNum",
                                     "btn_ReadOnePhoto",
                                     "lbl_CurrentPhotoDate",
                                     "lbl_CurrentPhotoTime",
                                     "btn_ReadPrivPhoto",
                                     "btn_ReadNextPhoto",
                                     "btn_ClearAllPhoto",
                                     "btn_Reboot",
                                     "btn_SetParsDef",
                                     "btn_SetDT",
                                     "grp_CalcAndShow",
                                     "chk_Mirror_LR",
                                     "cbb_GrayColor_SubMeth",
                                     "lbl_Emissivity_Text",
                                     "edt_Emissivity",
                                     "cbb_PixsType",
                                     "lbl_InterMethodFirst_Text",
                                     "cbb_InterMethodFirst",
                                     "lbl_InterMethodSecond_Text",
                                     "cbb_InterMethodSecond",
                                     "chk_Temperature_UpLowAuto",
                                     "edt_Temperature_Lower",
                                     "edt_Temperature_Upper",
                                     "chk_brokenPixelsCorr",
                                     "chk_Filter",
                                     "cbb_FilterMethod",
                                     "edt_FilterPixCount",
                                     "edt_Sigma",
                                     "chk_ShowTarget",
                                     "chk_ShowTarget_Text",
                                     "edt_TargetSize",
                                     "edt_TextHeight",
                                     "cbb_Scale",
                                     "grp_RTDatas",
                                     "lbl_Vdd",
                                     "lbl_Ta",
                                     "lbl_CenterTemp",
                                     "lbl_MaxTemp",
                                     "lbl_MinTemp",
                                     "lbl_AvgTemp",
                                     "lbl_MouseMoveText",
                                     "chk_Sharpen",
                                     "chk_Blur",
                                     "chk_Negative",
                                     "chk_Exposure",
                                     "chk_HideMaignInter",
                                     "chk_DouFrameUpdate",
                                     "chk_Slugg"};
        for (const char *name : names)
            QVERIFY2(form->Form().findChild<QWidget *>(QString::fromLatin1(name)), name);
        for (int k = 1; k <= 11; ++k)
            QVERIFY(form->Form().findChild<QLabel *>(QStringLiteral("lbl_ColorLegend%1").arg(k)));
        for (const char *name : {"Timer1", "Timer2", "Timer3", "myTimer"})
            QVERIFY2(form->Form().findChild<QObject *>(QString::fromLatin1(name)), name);
        // Controls of the scroll box sit on its scrolled surface.
        QCOMPARE(form->btn_SaveOnePhoto->parentWidget(), form->ScrollBox1->widget());
        QCOMPARE(form->chk_AutoSend->parentWidget(), form->grp_CameraPars);
        QCOMPARE(form->Form().font().pixelSize(), 15);
        QCOMPARE(form->Form().font().families().value(0), QStringLiteral("微软雅黑"));
        QCOMPARE(form->StringGrid1->font().pixelSize(), 12);
    }

    void initialStateTheProgramDependsOn() {
        auto form = MakeShownForm();
        // Device-parameter and photo controls wait for the module.
        for (QWidget *w : std::initializer_list<QWidget *>{
                 form->cbb_ADCResolution, form->cbb_RefreshRate,     form->cbb_ArrangeMode,
                 form->chk_AutoSend,      form->cbb_OutPortNum,      form->cbb_OutBaud,
                 form->chk_LedEN,         form->chk_FrmHalf,         form->btn_SaveOnePhoto,
                 form->btn_ReadLastPhoto, form->edt_CurrentPhotoNum, form->btn_ReadOnePhoto,
                 form->btn_ReadPrivPhoto, form->btn_ReadNextPhoto,   form->btn_ClearAllPhoto,
                 form->btn_Reboot,        form->btn_SetParsDef,      form->btn_SetDT,
                 form->edt_Sigma,         form->edt_TargetSize,      form->edt_TextHeight})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(form->edt_DelayMs->isEnabled());
        QVERIFY(form->lbl_CurrentPhotoDate->isEnabled());
        // Hidden option column and hidden controls.
        for (QCheckBox *c : {form->chk_Sharpen, form->chk_Blur, form->chk_Negative, form->chk_Exposure,
                             form->chk_HideMaignInter, form->chk_DouFrameUpdate, form->chk_Slugg}) {
            QVERIFY2(!c->isVisible() && !c->isChecked(), qPrintable(c->objectName()));
            QCOMPARE(c->x(), 1365);
        }
        QVERIFY(!form->btn_Connect2->isVisible());
        QVERIFY(!form->cbb_Scale->isVisible());
        for (QLabel *p : {form->Panel1, form->Panel2, form->Panel3, form->Panel4})
            QVERIFY(!p->isVisible() && p->text().isEmpty());
        QVERIFY(form->Image1->isVisible());
        // Check boxes and selections.
        QVERIFY(form->chk_Mirror_LR->isChecked());
        QVERIFY(form->chk_brokenPixelsCorr->isChecked());
        QVERIFY(!form->chk_Temperature_UpLowAuto->isChecked());
        QVERIFY(!form->chk_Filter->isChecked() && !form->chk_ShowTarget->isChecked());
        QCOMPARE(ItemIndex(form->cbb_GrayColor_SubMeth), 1);
        QCOMPARE(ItemIndex(form->cbb_ADCResolution), 2);
        QCOMPARE(ItemIndex(form->cbb_RefreshRate), 2);
        QCOMPARE(ItemIndex(form->cbb_ArrangeMode), 1);
        QCOMPARE(ItemIndex(form->cbb_OutPortNum), 1);
        QCOMPARE(ItemIndex(form->cbb_OutBaud), 2);
        QCOMPARE(ItemIndex(form->cbb_PixsType), 0);
        QCOMPARE(ItemIndex(form->cbb_Scale), 0);
        QCOMPARE(form->cbb_Port->currentText(), QStringLiteral("COM4"));
        // COM1..COM16 first, then the machine's serial devices, then the built-in module.
        QVERIFY(form->cbb_Port->count() >= 17);
        for (int i = 0; i < 16; ++i)
            QCOMPARE(form->cbb_Port->itemText(i), QStringLiteral("COM%1").arg(i + 1));
        QCOMPARE(form->cbb_Port->itemText(form->cbb_Port->count() - 1), QStringLiteral("SIM"));
        QCOMPARE(form->cbb_Baud->currentText(), QStringLiteral("460800"));
        QVERIFY(form->cbb_Port->isEditable() && form->cbb_FilterMethod->isEditable());
        QCOMPARE(form->edt_FilterPixCount->text(), QStringLiteral("5"));
        QCOMPARE(form->edt_Emissivity->text(), QStringLiteral("0.95"));
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("0001"));
        QCOMPARE(form->Image1->Picture().size(), QSize(512, 384));  // the splash picture
        QCOMPARE(form->Image1->cursor().shape(), Qt::CrossCursor);
        // The sensor image object with the window's defaults: filter size 9 although
        // the edit shows 5.
        TMLX90640 *mlx = &form->Image();
        QCOMPARE(mlx->GetFilterPixsCount(), 9);
        QCOMPARE(mlx->GetPixsType(), PXT_Temp);
        QVERIFY(mlx->GetMirror_LR());
        QCOMPARE(mlx->GetInterMethodFirst(), IM_Poly1);
        QCOMPARE(mlx->GetInterMethodSecond(), IM_Poly1);
        QVERIFY(!mlx->GetTemperature_UpLowAuto());
        QCOMPARE(mlx->GetTemperature_LowerLimit(), 0.0);
        QCOMPARE(mlx->GetTemperature_UpperLimit(), 35.0);
        QCOMPARE(mlx->GetGrayColor_SubMeth(), GCM_Pseudo2);
        QCOMPARE(mlx->GetTempToColorConverMeth(), CM_GrayColor);
        QCOMPARE(mlx->GetContinuColor_K(), CCK_1_0);
        QCOMPARE(mlx->GetGaussSigma(), 1.5);
        QCOMPARE(mlx->GetEmissivity(), 0.95);
        QVERIFY(mlx->GetBrokenPixsCorr() && !mlx->GetSlugg() && !mlx->GetFilter());
        // Timers and window-wide state.
        QVERIFY(form->Timer1->isActive() && form->Timer1->interval() == 5);
        QVERIFY(form->Timer2->isActive() && form->Timer2->interval() == 1000);
        QVERIFY(!form->Timer3->isActive() && form->Timer3->interval() == 100);
        QVERIFY(!form->Form().GetmyTimer()->GetEnable());
        QCOMPARE(form->Form().GetmyTimer()->GetTimeInterval(), 10);
        QCOMPARE(form->Session().Intake().Core().RecvedFrmDatas.size(), size_t(4096));
        QVERIFY(form->Form().GetApplicationPathStr().endsWith(QLatin1Char('/')));
        QCOMPARE(form->Form().GetLanguageNum(), 1);
        QVERIFY(!form->Session().ReadParsIsBusy());
    }

    void resizePlacesPictureLegendAndPanelsBesideTheGrid() {
        auto form = MakeShownForm();
        QCOMPARE(form->StringGrid1->geometry(), QRect(8, 116, 740, 580));
        QCOMPARE(form->Image1->geometry(), QRect(748, 116, 512, 384));
        QCOMPARE(form->img_ColorLegend->geometry(), QRect(1268, 116, 33, 384));
        for (int k = 1; k <= 11; ++k) {
            const QLabel *label = form->lbl_ColorLegend[size_t(k - 1)];
            QCOMPARE(label->height(), 20);
            QCOMPARE(label->pos(), QPoint(1305, 106 + 38 * (k - 1)));  // step 384 / 10 = 38
        }
        QCOMPARE(form->Panel1->geometry(), QRect(748, 116, 512, 9));
        QCOMPARE(form->Panel2->geometry(), QRect(748, 116, 9, 384));
        QCOMPARE(form->Panel3->geometry(), QRect(1254, 116, 6, 384));
        QCOMPARE(form->Panel4->geometry(), QRect(748, 494, 512, 6));
        // Nothing else moves.
        QCOMPARE(form->grp_COMSet->geometry(), QRect(8, 8, 729, 102));
        QCOMPARE(form->grp_CameraPars->geometry(), QRect(752, 8, 723, 102));
        // Five rows of options (the English captions need them): 8 pixels taller.
        QCOMPARE(form->grp_CalcAndShow->geometry(), QRect(752, 505, 409, 180));
        QCOMPARE(form->grp_RTDatas->geometry(), QRect(1167, 505, 174, 180));
        QCOMPARE(form->btn_SetDT->geometry(), QRect(1362, 439, 113, 28));
        QCOMPARE(form->cbb_Port->geometry(), QRect(56, 24, 89, 28));
        // A changed picture height is followed at the next resize; panels cover its edges.
        PickItem(form->cbb_Scale, 1);
        QCOMPARE(form->Image1->height(), 353);
        form->Form().resize(form->Form().width() - 10, form->Form().height() - 10);
        QTest::qWait(0);
        QCOMPARE(form->Panel2->height(), 353);
        QCOMPARE(form->Panel4->y(), 116 + 353 - 6);
        // The scrolled surface encloses every visible control.
        const QWidget *surface = form->ScrollBox1->widget();
        QVERIFY(surface->width() >= 1475 && surface->height() >= 116 + 580);
    }

    void placementMaximisesOnlySmallScreens() {
        TWindowUnderTest form;
        form.Form().PlaceOnScreen(QRect(0, 0, 1501, 900), QRect(0, 0, 1501, 860));
        QVERIFY(!(form.Form().windowState() & Qt::WindowMaximized));
        QCOMPARE(form.Form().geometry(), QRect(0, 50, 1500, 760));
        form.Form().PlaceOnScreen(QRect(0, 0, 1500, 900), QRect(0, 0, 1500, 860));
        QVERIFY(form.Form().windowState() & Qt::WindowMaximized);
    }

    void firstResizeAppliesEnglishCaptionsItemsAndHints() {
        auto form = MakeShownForm();
        TWindowUnderTest &f = *form;
        QCOMPARE(f.Form().GetConnectPortCaption(), QStringLiteral("Connect"));
        QCOMPARE(f.Form().GetDisConnectPortCaption(), QStringLiteral("Disconnect"));
        const std::pair<QWidget *, const char *> captions[] = {
            {f.lbl_ComPort_Text, "Port"},
            {f.lbl_Baud_Text, "Pars"},
            {f.btn_Connect, "Connect"},
            {f.btn_GetCalibInfo, "Read Pars"},
            {f.btn_SendCmd, "Send CMD"},
            {f.lbl_ADCResolution_Text, "Resolution"},
            {f.lbl_RefreshRate_Text, "Rate"},
            {f.lbl_ArrangeMode_Text, "Frame Mode"},
            {f.chk_AutoSend, "DataOut"},
            {f.lbl_DelayMs_Text, "Interval"},
            {f.chk_FrmHalf, "Half"},
            {f.lbl_Cell, "Cell voltage"},
            {f.lbl_RTC, "2019-09-25 12:00:00"},
            {f.lbl_SavedPhotoNum_Caption, "Photos"},
            {f.btn_SaveOnePhoto, "Save Photo"},
            {f.btn_ReadLastPhoto, "Read Last"},
            {f.btn_ReadOnePhoto, "Read"},
            {f.btn_ReadPrivPhoto, "Priv"},
            {f.btn_ReadNextPhoto, "Next"},
            {f.btn_ClearAllPhoto, "Del All Photo"},
            {f.btn_Reboot, "ReBoot"},
            {f.btn_SetParsDef, "Pars To Def"},
            {f.btn_SetDT, "Set DateTime"},
            {f.chk_Mirror_LR, "Mirror"},
            {f.lbl_Emissivity_Text, "Emissivity"},
            {f.lbl_InterMethodFirst_Text, "Interpolation"},
            {f.lbl_InterMethodSecond_Text, "Interpolation"},
            {f.chk_Temperature_UpLowAuto, "Automatic temperature range"},
            {f.chk_Filter, "Filter"},
            {f.chk_ShowTarget, "Show Target"},
            {f.chk_ShowTarget_Text, "Text"},
            {f.chk_DouFrameUpdate, "Double Frame Update"},
            {f.chk_Slugg, "Datas Hysteresis"},
            {f.lbl_Vdd, "Core voltage:"},
            {f.lbl_Ta, "Case Temp:"},
            {f.lbl_CenterTemp, "Center Temp:"},
            {f.lbl_MaxTemp, "Max Temp:"},
            {f.lbl_MinTemp, "Min Temp:"},
            {f.lbl_AvgTemp, "Ave Temp:"},
            {f.lbl_MouseMoveText, "Mouse Temp:"},
            {f.chk_brokenPixelsCorr, "BadPixelsCorrection"},
            // Untouched in English.
            {f.Label64, "T"},
            {f.Label65, "R"},
            {f.Label9, "/900"},
            {f.lbl_SavedPhotoNum, "0000"},
            {f.lbl_CurrentPhotoDate, "2019-09-25"},
            {f.lbl_CurrentPhotoTime, "12:00:00"},
            {f.chk_LedEN, "LED"},
            {f.btn_Connect2, "连接端口"},
            {f.chk_Sharpen, "锐化"},
            {f.chk_Blur, "模糊"},
            {f.chk_Negative, "反色"},
            {f.chk_Exposure, "曝光"},
            {f.chk_HideMaignInter, "隐藏边沿插值"}};
        for (const auto &[w, text] : captions) {
            QString shown;
            if (auto *l = qobject_cast<QLabel *>(w))
                shown = l->text();
            else if (auto *b = qobject_cast<QAbstractButton *>(w))
                shown = b->text();
            QCOMPARE(shown, QString::fromUtf8(text));
        }
        QCOMPARE(f.grp_COMSet->title(), QStringLiteral("COM Port Option"));
        QCOMPARE(f.grp_CameraPars->title(), QStringLiteral("Camera Setting"));
        QCOMPARE(f.grp_CalcAndShow->title(), QStringLiteral("Image Calc And Show"));
        QCOMPARE(f.grp_RTDatas->title(), QStringLiteral("RealTime Datas"));

        QCOMPARE(Items(f.cbb_ADCResolution), (QStringList{"16 bits", "17 bits", "18 bits", "19 bits"}));
        QCOMPARE(Items(f.cbb_ArrangeMode), (QStringList{"TV", "Chess"}));
        QCOMPARE(Items(f.cbb_OutPortNum), (QStringList{"Smart", "UART1(TTL)", "UART2(USB)", "UART1&2"}));
        QCOMPARE(Items(f.cbb_GrayColor_SubMeth),
                 (QStringList{"Pseudo1", "Pseudo2", "Metal1", "Metal2", "Rainbow1", "Rainbow2", "Rainbow3",
                              "Veska", "Toral", "Gray", "HSI", "HSI_2", "HSI_3"}));
        QCOMPARE(Items(f.cbb_PixsType), (QStringList{"Temperature", "Image"}));
        const QStringList inter{"Linear polynomial", "Quadratic polynomial ", "Cubic polynomial"};
        QCOMPARE(Items(f.cbb_InterMethodFirst), inter);
        QCOMPARE(Items(f.cbb_InterMethodSecond), inter);
        QCOMPARE(Items(f.cbb_FilterMethod), (QStringList{"Average", "Weighted Average", "Gaussian"}));
        QCOMPARE(Items(f.cbb_RefreshRate).first(), QStringLiteral("0.5Hz"));
        QCOMPARE(Items(f.cbb_Scale), (QStringList{"像素1:1", "A型1:1", "B型1:1"}));
        // Selected entries shown with their English text.
        QCOMPARE(f.cbb_ADCResolution->currentText(), QStringLiteral("18 bits"));
        QCOMPARE(f.cbb_GrayColor_SubMeth->currentText(), QStringLiteral("Pseudo2"));
        QCOMPARE(f.cbb_OutPortNum->currentText(), QStringLiteral("UART1(TTL)"));

        // Hints: cleared, replaced or kept.
        for (QWidget *w : std::initializer_list<QWidget *>{f.cbb_Port,
                                                           f.cbb_Baud,
                                                           f.edt_ComTimeout,
                                                           f.btn_Connect,
                                                           f.btn_GetCalibInfo,
                                                           f.edt_Tx,
                                                           f.btn_SendCmd,
                                                           f.cbb_ADCResolution,
                                                           f.cbb_RefreshRate,
                                                           f.cbb_ArrangeMode,
                                                           f.chk_AutoSend,
                                                           f.cbb_OutBaud,
                                                           f.edt_DelayMs,
                                                           f.chk_LedEN,
                                                           f.chk_FrmHalf,
                                                           f.lbl_Cell,
                                                           f.lbl_RTC,
                                                           f.btn_SaveOnePhoto,
                                                           f.btn_ReadLastPhoto,
                                                           f.btn_ClearAllPhoto,
                                                           f.btn_Reboot,
                                                           f.btn_SetParsDef,
                                                           f.btn_SetDT,
                                                           f.chk_Mirror_LR,
                                                           f.cbb_GrayColor_SubMeth,
                                                           f.cbb_PixsType,
                                                           f.cbb_InterMethodFirst,
                                                           f.cbb_InterMethodSecond,
                                                           f.chk_Temperature_UpLowAuto,
                                                           f.chk_Filter,
                                                           f.cbb_FilterMethod,
                                                           f.edt_FilterPixCount,
                                                           f.edt_Sigma,
                                                           f.chk_ShowTarget,
                                                           f.chk_ShowTarget_Text,
                                                           f.chk_DouFrameUpdate,
                                                           f.chk_Slugg})
            if (auto *list = qobject_cast<TEditableList *>(w))  // a cut text may show
                QVERIFY2(list->Hint().isEmpty() &&
                             (w->toolTip().isEmpty() || w->toolTip() == list->currentText()),
                         qPrintable(w->objectName()));
            else
                QVERIFY2(w->toolTip().isEmpty(), qPrintable(w->objectName()));
        QCOMPARE(f.Image1->toolTip(), QStringLiteral("Double-click to save the image"));
        QCOMPARE(static_cast<TEditableList *>(f.cbb_OutPortNum)->Hint(),
                 QStringLiteral("实时数据从哪个端口输出"));
        QCOMPARE(f.edt_TargetSize->toolTip(), QStringLiteral("标靶大小"));
        QCOMPARE(f.edt_TextHeight->toolTip(), QStringLiteral("文字大小"));
        QCOMPARE(f.btn_Connect2->toolTip(), QStringLiteral("打开【端口】下拉框指定的端口"));
    }

    void resizeKeepsSelectedEntriesAndRunsNoListHandler() {
        auto form = MakeShownForm();
        TWindowUnderTest &f = *form;
        PickItem(f.cbb_GrayColor_SubMeth, 11);  // HSI_2
        PickItem(f.cbb_InterMethodFirst, 2);
        PickItem(f.cbb_InterMethodSecond, 1);
        PickItem(f.cbb_FilterMethod, 2);
        PickItem(f.cbb_PixsType, 1);
        // Handlers that would run on a relabelling would show here.
        f.Image().SetInterMethodFirst(IM_Poly1);
        f.Image().SetFilterMethod(0);
        f.Form().resize(f.Form().width() - 20, f.Form().height() - 20);
        QTest::qWait(0);
        f.Form().UpdateLanguageShow(1);
        QCOMPARE(ItemIndex(f.cbb_GrayColor_SubMeth), 11);
        QCOMPARE(f.cbb_GrayColor_SubMeth->currentText(), QStringLiteral("HSI_2"));
        QCOMPARE(ItemIndex(f.cbb_InterMethodFirst), 2);
        QCOMPARE(f.cbb_InterMethodFirst->currentText(), QStringLiteral("Cubic polynomial"));
        QCOMPARE(ItemIndex(f.cbb_InterMethodSecond), 1);
        QCOMPARE(ItemIndex(f.cbb_FilterMethod), 2);
        QCOMPARE(ItemIndex(f.cbb_PixsType), 1);
        QCOMPARE(f.Image().GetInterMethodFirst(), IM_Poly1);
        QCOMPARE(f.Image().GetFilterMethod(), 0);
    }

    void deviceListsAreRelabelledWhileParameterSendingIsSuspended() {
        TWindowUnderTest f;  // the first display relabels the lists
        QVector<bool> busyDuringRelabel;
        QObject::connect(f.cbb_ADCResolution->model(), &QAbstractItemModel::dataChanged, &f.Form(),
                         [&] { busyDuringRelabel.append(f.Session().ReadParsIsBusy()); });
        QObject::connect(f.cbb_ArrangeMode->model(), &QAbstractItemModel::dataChanged, &f.Form(),
                         [&] { busyDuringRelabel.append(f.Session().ReadParsIsBusy()); });
        f.Form().show();
        QTest::qWait(0);
        QCOMPARE(f.cbb_ArrangeMode->itemText(0), QStringLiteral("TV"));
        QVERIFY(!busyDuringRelabel.isEmpty());
        QVERIFY(!busyDuringRelabel.contains(false));
        QVERIFY(!f.Session().ReadParsIsBusy());
        // A read-parameters action in progress keeps its suspension through a resize.
        f.Session().BeginReadPars();
        f.Form().UpdateLanguageShow(1);
        QVERIFY(f.Session().ReadParsIsBusy());
    }

    void titleCarriesVersionAndBuildTime() {
        auto form = MakeShownForm();
        const QRegularExpression english(QStringLiteral(
            "^Vantrel-MLX90640 DemonstrationProgram   Versions：(\\d+\\.\\d+\\.\\d+\\.\\d+)  Compiled："
            "(\\d{4})/(\\d{2})/(\\d{2}) (\\d{2}):(\\d{2}):(\\d{2})$"));
        const auto m = english.match(form->Form().windowTitle());
        QVERIFY2(m.hasMatch(), qPrintable(form->Form().windowTitle()));
        QCOMPARE(m.captured(1), ProgramVersion());
        QCOMPARE(m.captured(7).toInt() % 2, 0);
        const QString file = QCoreApplication::applicationFilePath();
        QVERIFY(form->Form().windowTitle().endsWith(FormatBuildTime(FGetFileTime(file, 1))));
        const QRegularExpression chinese(QStringLiteral(
            "^Vantrel-MLX90640演示程序   版本：\\d+\\.\\d+\\.\\d+\\.\\d+  最后编译于：\\d{4}/\\d{2}/\\d{2} "
            "\\d{2}:\\d{2}:\\d{2}$"));
        QVERIFY2(chinese.match(form->Form().BuildTitle(0)).hasMatch(),
                 qPrintable(form->Form().BuildTitle(0)));
    }

    void statusPanelsAfterStartAndWhileConnected() {
        auto form = MakeShownForm();
        TStatusPanels *bar = form->StatusBar1;
        QCOMPARE(bar->PanelCount(), 7);
        // At least the stored widths, wider where the longest text of a panel needs it
        // (captions test); the notice panel takes the rest of the bar.
        const int widths[] = {200, 120, 120, 200, 200, 300, 50};
        for (int i = 0; i < 7; ++i)
            QVERIFY(bar->Panel(i)->width() >= widths[i]);
        QVERIFY(bar->Panel(5)->width() > 300);
        QVERIFY(bar->Panel(6)->width() >= 100);
        QCOMPARE(bar->PanelText(0), QStringLiteral("COM4 Disconnected"));
        QCOMPARE(bar->PanelText(1), QStringLiteral("Send:"));
        QCOMPARE(bar->PanelText(2), QStringLiteral("Recev:"));
        QCOMPARE(bar->PanelText(3), QStringLiteral("data Class:"));
        QCOMPARE(bar->PanelText(4), QStringLiteral("Data Verification:"));
        QCOMPARE(bar->PanelText(5), QStringLiteral("DataRecv：0Hz  DataCalc：0Hz  ImageRefresh：0Hz"));
        QCOMPARE(bar->PanelText(6), QString());
        // A resize while connected.
        form->Timer2->stop();  // the rates stay as counted here
        TPtyModule pty;
        QVERIFY(ConnectWindow(*form, pty.SlavePath()));
        CountRates(*form, 8, 7, 6);
        form->cbb_Port->setEditText(QStringLiteral("COM7"));
        bar->SetPanelText(6, QStringLiteral("Toast:"));
        form->Form().resize(form->Form().width() - 30, form->Form().height());
        QTest::qWait(0);
        QCOMPARE(bar->PanelText(0), QStringLiteral("COM7 Connected"));
        QCOMPARE(form->btn_Connect->text(), QStringLiteral("Disconnect"));
        QCOMPARE(bar->PanelText(5), QStringLiteral("DataRecv：8Hz  DataCalc：7Hz  ImageRefresh：6Hz"));
        QCOMPARE(bar->PanelText(6), QString());
    }

    void chineseResizeSetsOnlyTitleAndConnectCaptions() {
        TWindowUnderTest form;
        form.Form().SetLanguageNum(0);
        form.Form().show();
        QTest::qWait(0);
        QVERIFY(form.Form().windowTitle().startsWith(QStringLiteral("Vantrel-MLX90640演示程序   版本：")));
        QCOMPARE(form.Form().GetConnectPortCaption(), QStringLiteral("连接端口"));
        QCOMPARE(form.Form().GetDisConnectPortCaption(), QStringLiteral("断开端口"));
        QCOMPARE(form.grp_COMSet->title(), QStringLiteral("计算机COM端口"));
        QCOMPARE(form.btn_Connect->text(), QStringLiteral("连接端口"));
        QCOMPARE(form.chk_brokenPixelsCorr->text(), QStringLiteral("坏点校正"));
        QCOMPARE(form.cbb_GrayColor_SubMeth->currentText(), QStringLiteral("伪彩2"));
        QCOMPARE(form.cbb_Port->toolTip(), QStringLiteral("支持手工输入COMx"));
        QCOMPARE(form.Image1->toolTip(), QStringLiteral("双击保存图片"));
        QCOMPARE(form.StatusBar1->PanelText(0), QStringLiteral("COM3 9600 N 8 1 未连接"));
        QCOMPARE(form.StatusBar1->PanelText(1), QStringLiteral("发送："));
        QCOMPARE(form.StatusBar1->PanelText(6), QStringLiteral("提示消息："));
        // The picture still moves beside the grid.
        QCOMPARE(form.Image1->pos(), QPoint(748, 116));
    }
};

QTEST_MAIN(TstMainWindow)
#include "MainWindowTest.moc"
