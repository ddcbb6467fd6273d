#include "ui/WindowUnderTest.h"

#include "pipeline/MLX90640.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/ShapeCircle.h"
#include "ui/widgets/StatusPanels.h"
#include "ui/widgets/StringGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

template <class W>
W *TWindowUnderTest::Find(QObject &root, const char *name) {
    W *w = root.findChild<W *>(QString::fromLatin1(name));
    if (!w)
        qFatal("the window has no %s", name);
    return w;
}

TWindowUnderTest::TWindowUnderTest() : fProgram(std::make_unique<TKorvaleProgram>()) {
    TForm_Main &form = fProgram->Form;
    ScrollBox1 = Find<QScrollArea>(form, "ScrollBox1");
    ScrollBox1Content = Find<QWidget>(form, "ScrollBox1Content");
    StatusBar1 = Find<TStatusPanels>(form, "StatusBar1");
    Image1 = Find<TPictureBox>(form, "Image1");
    img_ColorLegend = Find<TPictureBox>(form, "img_ColorLegend");
    StringGrid1 = Find<TStringGrid>(form, "StringGrid1");
    Panel1 = Find<QLabel>(form, "Panel1");
    Panel2 = Find<QLabel>(form, "Panel2");
    Panel3 = Find<QLabel>(form, "Panel3");
    Panel4 = Find<QLabel>(form, "Panel4");
    grp_COMSet = Find<QGroupBox>(form, "grp_COMSet");
    lbl_ComPort_Text = Find<QLabel>(form, "lbl_ComPort_Text");
    cbb_Port = Find<QComboBox>(form, "cbb_Port");
    lbl_Baud_Text = Find<QLabel>(form, "lbl_Baud_Text");
    cbb_Baud = Find<QComboBox>(form, "cbb_Baud");
    edt_ComTimeout = Find<QLineEdit>(form, "edt_ComTimeout");
    shp_led = Find<TShapeCircle>(form, "shp_led");
    Label64 = Find<QLabel>(form, "Label64");
    shp_TX = Find<TShapeCircle>(form, "shp_TX");
    Label65 = Find<QLabel>(form, "Label65");
    shp_RX = Find<TShapeCircle>(form, "shp_RX");
    btn_Connect = Find<QPushButton>(form, "btn_Connect");
    btn_GetCalibInfo = Find<QPushButton>(form, "btn_GetCalibInfo");
    edt_Tx = Find<QLineEdit>(form, "edt_Tx");
    btn_SendCmd = Find<QPushButton>(form, "btn_SendCmd");
    btn_Connect2 = Find<QPushButton>(form, "btn_Connect2");
    grp_CameraPars = Find<QGroupBox>(form, "grp_CameraPars");
    lbl_ADCResolution_Text = Find<QLabel>(form, "lbl_ADCResolution_Text");
    cbb_ADCResolution = Find<QComboBox>(form, "cbb_ADCResolution");
    lbl_RefreshRate_Text = Find<QLabel>(form, "lbl_RefreshRate_Text");
    cbb_RefreshRate = Find<QComboBox>(form, "cbb_RefreshRate");
    lbl_ArrangeMode_Text = Find<QLabel>(form, "lbl_ArrangeMode_Text");
    cbb_ArrangeMode = Find<QComboBox>(form, "cbb_ArrangeMode");
    chk_AutoSend = Find<QCheckBox>(form, "chk_AutoSend");
    cbb_OutPortNum = Find<QComboBox>(form, "cbb_OutPortNum");
    lbl_DelayMs_Text = Find<QLabel>(form, "lbl_DelayMs_Text");
    edt_DelayMs = Find<QLineEdit>(form, "edt_DelayMs");
    cbb_OutBaud = Find<QComboBox>(form, "cbb_OutBaud");
    chk_LedEN = Find<QCheckBox>(form, "chk_LedEN");
    chk_FrmHalf = Find<QCheckBox>(form, "chk_FrmHalf");
    lbl_Cell = Find<QLabel>(form, "lbl_Cell");
    lbl_RTC = Find<QLabel>(form, "lbl_RTC");
    lbl_SavedPhotoNum_Caption = Find<QLabel>(form, "lbl_SavedPhotoNum_Caption");
    lbl_SavedPhotoNum = Find<QLabel>(form, "lbl_SavedPhotoNum");
    Label9 = Find<QLabel>(form, "Label9");
    btn_SaveOnePhoto = Find<QPushButton>(form, "btn_SaveOnePhoto");
    btn_ReadLastPhoto = Find<QPushButton>(form, "btn_ReadLastPhoto");
    edt_CurrentPhotoNum = Find<QLineEdit>(form, "edt_CurrentPhotoNum");
    btn_ReadOnePhoto = Find<QPushButton>(form, "btn_ReadOnePhoto");
    lbl_CurrentPhotoDate = Find<QLabel>(form, "lbl_CurrentPhotoDate");
    lbl_CurrentPhotoTime = Find<QLabel>(form, "lbl_CurrentPhotoTime");
    btn_ReadPrivPhoto = Find<QPushButton>(form, "btn_ReadPrivPhoto");
    btn_ReadNextPhoto = Find<QPushButton>(form, "btn_ReadNextPhoto");
    btn_ClearAllPhoto = Find<QPushButton>(form, "btn_ClearAllPhoto");
    btn_Reboot = Find<QPushButton>(form, "btn_Reboot");
    btn_SetParsDef = Find<QPushButton>(form, "btn_SetParsDef");
    btn_SetDT = Find<QPushButton>(form, "btn_SetDT");
    grp_CalcAndShow = Find<QGroupBox>(form, "grp_CalcAndShow");
    chk_Mirror_LR = Find<QCheckBox>(form, "chk_Mirror_LR");
    cbb_GrayColor_SubMeth = Find<QComboBox>(form, "cbb_GrayColor_SubMeth");
    lbl_Emissivity_Text = Find<QLabel>(form, "lbl_Emissivity_Text");
    edt_Emissivity = Find<QLineEdit>(form, "edt_Emissivity");
    cbb_PixsType = Find<QComboBox>(form, "cbb_PixsType");
    lbl_InterMethodFirst_Text = Find<QLabel>(form, "lbl_InterMethodFirst_Text");
    cbb_InterMethodFirst = Find<QComboBox>(form, "cbb_InterMethodFirst");
    lbl_InterMethodSecond_Text = Find<QLabel>(form, "lbl_InterMethodSecond_Text");
    cbb_InterMethodSecond = Find<QComboBox>(form, "cbb_InterMethodSecond");
    chk_Temperature_UpLowAuto = Find<QCheckBox>(form, "chk_Temperature_UpLowAuto");
    edt_Temperature_Lower = Find<QLineEdit>(form, "edt_Temperature_Lower");
    edt_Temperature_Upper = Find<QLineEdit>(form, "edt_Temperature_Upper");
    chk_brokenPixelsCorr = Find<QCheckBox>(form, "chk_brokenPixelsCorr");
    chk_Filter = Find<QCheckBox>(form, "chk_Filter");
    cbb_FilterMethod = Find<QComboBox>(form, "cbb_FilterMethod");
    edt_FilterPixCount = Find<QLineEdit>(form, "edt_FilterPixCount");
    edt_Sigma = Find<QLineEdit>(form, "edt_Sigma");
    chk_ShowTarget = Find<QCheckBox>(form, "chk_ShowTarget");
    chk_ShowTarget_Text = Find<QCheckBox>(form, "chk_ShowTarget_Text");
    edt_TargetSize = Find<QLineEdit>(form, "edt_TargetSize");
    edt_TextHeight = Find<QLineEdit>(form, "edt_TextHeight");
    cbb_Scale = Find<QComboBox>(form, "cbb_Scale");
    grp_RTDatas = Find<QGroupBox>(form, "grp_RTDatas");
    lbl_Vdd = Find<QLabel>(form, "lbl_Vdd");
    lbl_Ta = Find<QLabel>(form, "lbl_Ta");
    lbl_CenterTemp = Find<QLabel>(form, "lbl_CenterTemp");
    lbl_MaxTemp = Find<QLabel>(form, "lbl_MaxTemp");
    lbl_MinTemp = Find<QLabel>(form, "lbl_MinTemp");
    lbl_AvgTemp = Find<QLabel>(form, "lbl_AvgTemp");
    lbl_MouseMoveText = Find<QLabel>(form, "lbl_MouseMoveText");
    chk_Sharpen = Find<QCheckBox>(form, "chk_Sharpen");
    chk_Blur = Find<QCheckBox>(form, "chk_Blur");
    chk_Negative = Find<QCheckBox>(form, "chk_Negative");
    chk_Exposure = Find<QCheckBox>(form, "chk_Exposure");
    chk_HideMaignInter = Find<QCheckBox>(form, "chk_HideMaignInter");
    chk_DouFrameUpdate = Find<QCheckBox>(form, "chk_DouFrameUpdate");
    chk_Slugg = Find<QCheckBox>(form, "chk_Slugg");
    Timer1 = Find<QTimer>(form, "Timer1");
    Timer2 = Find<QTimer>(form, "Timer2");
    Timer3 = Find<QTimer>(form, "Timer3");
    for (int k = 1; k <= 11; ++k)
        lbl_ColorLegend[size_t(k - 1)] =
            Find<QLabel>(form, QStringLiteral("lbl_ColorLegend%1").arg(k).toLatin1().constData());
}

TWindowUnderTest::~TWindowUnderTest() = default;

template QWidget *TWindowUnderTest::Find<QWidget>(QObject &, const char *);
template QLabel *TWindowUnderTest::Find<QLabel>(QObject &, const char *);
template QComboBox *TWindowUnderTest::Find<QComboBox>(QObject &, const char *);
template QLineEdit *TWindowUnderTest::Find<QLineEdit>(QObject &, const char *);
template QCheckBox *TWindowUnderTest::Find<QCheckBox>(QObject &, const char *);
template QPushButton *TWindowUnderTest::Find<QPushButton>(QObject &, const char *);
