// Bilingual captions: the title with the program's version and build time, and in
// English the replacement of the stored (Chinese) captions, items and hints.

#include "ui/mainwindow/MainFrm.h"
#include "ui/support/BuildInfo.h"
#include "ui/support/FileTime.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StatusPanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

void ClearHint(QWidget *w) {
    w->setToolTip(QString());
}

void Caption(QGroupBox *w, const QString &text) {
    w->setTitle(text);
}
void Caption(QLabel *w, const QString &text) {
    w->setText(text);
}
void Caption(QAbstractButton *w, const QString &text) {
    w->setText(text);
}

// Caption and cleared hint, the common case of the table.
template <class W>
void CaptionNoHint(W *w, const QString &text) {
    Caption(w, text);
    ClearHint(w);
}

QString ProgramFile() {
    return QCoreApplication::applicationFilePath();
}

}  // namespace

QString TForm_Main::BuildTitle(int32_t lanNum) const {
    const QString file = ProgramFile();
    const QString version = GetBuildInfoCached(file);
    const QString built = FormatBuildTime(FGetFileTime(file, 1));
    if (lanNum == 0)
        return QStringLiteral("Vantrel-MLX90640演示程序   版本：") + version +
               QStringLiteral("  最后编译于：") + built;
    return QStringLiteral("Vantrel-MLX90640 DemonstrationProgram   Versions：") + version +
           QStringLiteral("  Compiled：") + built;
}

void TForm_Main::UpdateLanguageShow(int32_t lanNum) {
    if (lanNum == 0) {
        WinState.ConnectPortCaption = QStringLiteral("连接端口");
        WinState.DisConnectPortCaption = QStringLiteral("断开端口");
        setWindowTitle(BuildTitle(lanNum));
        return;
    }

    WinState.ConnectPortCaption = QStringLiteral("Connect");
    WinState.DisConnectPortCaption = QStringLiteral("Disconnect");
    setWindowTitle(BuildTitle(lanNum));

    // Port group.
    Caption(grp_COMSet, QStringLiteral("COM Port Option"));
    Caption(lbl_ComPort_Text, QStringLiteral("Port"));
    Caption(lbl_Baud_Text, QStringLiteral("Pars"));
    ClearHint(cbb_Port);
    ClearHint(cbb_Baud);
    ClearHint(edt_ComTimeout);
    CaptionNoHint(btn_Connect, WinState.PortIsConnected.load() ? WinState.DisConnectPortCaption
                                                               : WinState.ConnectPortCaption);
    CaptionNoHint(btn_GetCalibInfo, QStringLiteral("Read Pars"));
    ClearHint(edt_Tx);
    CaptionNoHint(btn_SendCmd, QStringLiteral("Send CMD"));

    // Device parameters: their lists are relabelled while the device-parameter
    // handlers send nothing. The flag goes back to what it was, so a read-parameters
    // action that is running (and waits with the event loop going) keeps its
    // protection when a resize happens meanwhile.
    const bool wasBusy = WinState.ReadParsIsBusy.exchange(true);
    Caption(grp_CameraPars, QStringLiteral("Camera Setting"));
    Caption(lbl_ADCResolution_Text, QStringLiteral("Resolution"));
    ReplaceItemsKeepIndex(cbb_ADCResolution, {QStringLiteral("16 bits"), QStringLiteral("17 bits"),
                                              QStringLiteral("18 bits"), QStringLiteral("19 bits")});
    ClearHint(cbb_ADCResolution);
    Caption(lbl_RefreshRate_Text, QStringLiteral("Rate"));
    ClearHint(cbb_RefreshRate);
    Caption(lbl_ArrangeMode_Text, QStringLiteral("Frame Mode"));
    ReplaceItemsKeepIndex(cbb_ArrangeMode, {QStringLiteral("TV"), QStringLiteral("Chess")});
    ClearHint(cbb_ArrangeMode);
    CaptionNoHint(chk_AutoSend, QStringLiteral("DataOut"));
    ReplaceItemsKeepIndex(cbb_OutPortNum, {QStringLiteral("Smart")});  // items 1..3 stay; hint kept
    ClearHint(cbb_OutBaud);
    Caption(lbl_DelayMs_Text, QStringLiteral("Interval"));
    ClearHint(edt_DelayMs);
    ClearHint(chk_LedEN);
    CaptionNoHint(chk_FrmHalf, QStringLiteral("Half"));
    CaptionNoHint(lbl_Cell, QStringLiteral("Cell voltage"));
    CaptionNoHint(lbl_RTC, QStringLiteral("2019-09-25 12:00:00"));
    Caption(lbl_SavedPhotoNum_Caption, QStringLiteral("Photos"));
    WinState.ReadParsIsBusy.store(wasBusy);

    // Picture and photo column.
    Image1->setToolTip(QStringLiteral("Double-click to save the image"));
    CaptionNoHint(btn_SaveOnePhoto, QStringLiteral("Save Photo"));
    CaptionNoHint(btn_ReadLastPhoto, QStringLiteral("Read Last"));
    CaptionNoHint(btn_ReadOnePhoto, QStringLiteral("Read"));
    CaptionNoHint(btn_ReadPrivPhoto, QStringLiteral("Priv"));
    CaptionNoHint(btn_ReadNextPhoto, QStringLiteral("Next"));
    CaptionNoHint(btn_ClearAllPhoto, QStringLiteral("Del All Photo"));
    CaptionNoHint(btn_Reboot, QStringLiteral("ReBoot"));
    CaptionNoHint(btn_SetParsDef, QStringLiteral("Pars To Def"));
    CaptionNoHint(btn_SetDT, QStringLiteral("Set DateTime"));

    // Picture computation and display.
    Caption(grp_CalcAndShow, QStringLiteral("Image Calc And Show"));
    CaptionNoHint(chk_Mirror_LR, QStringLiteral("Mirror"));
    ReplaceItemsKeepIndex(cbb_GrayColor_SubMeth,
                          {QStringLiteral("Pseudo1"), QStringLiteral("Pseudo2"), QStringLiteral("Metal1"),
                           QStringLiteral("Metal2"), QStringLiteral("Rainbow1"), QStringLiteral("Rainbow2"),
                           QStringLiteral("Rainbow3"), QStringLiteral("Veska"), QStringLiteral("Toral"),
                           QStringLiteral("Gray"), QStringLiteral("HSI")});  // "HSI_2", "HSI_3" stay
    ClearHint(cbb_GrayColor_SubMeth);
    Caption(lbl_Emissivity_Text, QStringLiteral("Emissivity"));
    ReplaceItemsKeepIndex(cbb_PixsType, {QStringLiteral("Temperature"), QStringLiteral("Image")});
    ClearHint(cbb_PixsType);
    const QStringList interMethods = {QStringLiteral("Linear polynomial"),
                                      QStringLiteral("Quadratic polynomial "),
                                      QStringLiteral("Cubic polynomial")};
    Caption(lbl_InterMethodFirst_Text, QStringLiteral("Interpolation"));
    ReplaceItemsKeepIndex(cbb_InterMethodFirst, interMethods);
    ClearHint(cbb_InterMethodFirst);
    Caption(lbl_InterMethodSecond_Text, QStringLiteral("Interpolation"));
    ReplaceItemsKeepIndex(cbb_InterMethodSecond, interMethods);
    ClearHint(cbb_InterMethodSecond);
    CaptionNoHint(chk_Temperature_UpLowAuto, QStringLiteral("Automatic temperature range"));
    CaptionNoHint(chk_Filter, QStringLiteral("Filter"));
    ReplaceItemsKeepIndex(cbb_FilterMethod, {QStringLiteral("Average"), QStringLiteral("Weighted Average"),
                                             QStringLiteral("Gaussian")});
    ClearHint(cbb_FilterMethod);
    ClearHint(edt_FilterPixCount);
    ClearHint(edt_Sigma);
    CaptionNoHint(chk_ShowTarget, QStringLiteral("Show Target"));
    CaptionNoHint(chk_ShowTarget_Text, QStringLiteral("Text"));
    CaptionNoHint(chk_DouFrameUpdate, QStringLiteral("Double Frame Update"));
    CaptionNoHint(chk_Slugg, QStringLiteral("Datas Hysteresis"));

    // Readouts.
    Caption(grp_RTDatas, QStringLiteral("RealTime Datas"));
    Caption(lbl_Vdd, QStringLiteral("Core voltage:"));
    Caption(lbl_Ta, QStringLiteral("Case Temp:"));
    Caption(lbl_CenterTemp, QStringLiteral("Center Temp:"));
    Caption(lbl_MaxTemp, QStringLiteral("Max Temp:"));
    Caption(lbl_MinTemp, QStringLiteral("Min Temp:"));
    Caption(lbl_AvgTemp, QStringLiteral("Ave Temp:"));
    Caption(lbl_MouseMoveText, QStringLiteral("Mouse Temp:"));

    // Status bar.
    StatusBar1->SetPanelText(0, cbb_Port->currentText() + (WinState.PortIsConnected.load()
                                                               ? QStringLiteral(" Connected")
                                                               : QStringLiteral(" Disconnected")));
    StatusBar1->SetPanelText(1, QStringLiteral("Send:"));
    StatusBar1->SetPanelText(2, QStringLiteral("Recev:"));
    StatusBar1->SetPanelText(3, QStringLiteral("data Class:"));
    StatusBar1->SetPanelText(4, QStringLiteral("Data Verification:"));
    StatusBar1->SetPanelText(5, QStringLiteral("DataRecv：%1Hz  DataCalc：%2Hz  ImageRefresh：%3Hz")
                                    .arg(WinState.dataRecvRate.load())
                                    .arg(WinState.dataCalcRate.load())
                                    .arg(WinState.picUpdateRate.load()));
    Caption(chk_brokenPixelsCorr, QStringLiteral("BadPixelsCorrection"));
    StatusBar1->SetPanelText(6, QString());
}
