#pragma once
// The window as the widget tests see it: the program's parts (sensor image object,
// module session, window) made and shown, and every control of the window found by
// its object name, under the same name.

#include "ui/Program.h"

#include <QString>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTimer;
class QWidget;
class TPictureBox;
class TShapeCircle;
class TStatusPanels;
class TStringGrid;

class TWindowUnderTest {
public:
    TWindowUnderTest();
    ~TWindowUnderTest();

    TKorvaleProgram &Program() { return *fProgram; }
    TForm_Main &Form() { return fProgram->Form; }
    TModuleSession &Session() { return fProgram->Session; }
    TMLX90640 &Image() { return fProgram->Image; }

    // The window's child of type W named `name`; a test failure when there is none.
    template <class W>
    static W *Find(QObject &root, const char *name);

    QScrollArea *ScrollBox1 = nullptr;
    QWidget *ScrollBox1Content = nullptr;
    TStatusPanels *StatusBar1 = nullptr;
    TPictureBox *Image1 = nullptr;
    TPictureBox *img_ColorLegend = nullptr;
    TStringGrid *StringGrid1 = nullptr;
    QLabel *Panel1 = nullptr;
    QLabel *Panel2 = nullptr;
    QLabel *Panel3 = nullptr;
    QLabel *Panel4 = nullptr;
    QGroupBox *grp_COMSet = nullptr;
    QLabel *lbl_ComPort_Text = nullptr;
    QComboBox *cbb_Port = nullptr;
    QLabel *lbl_Baud_Text = nullptr;
    QComboBox *cbb_Baud = nullptr;
    QLineEdit *edt_ComTimeout = nullptr;
    TShapeCircle *shp_led = nullptr;
    QLabel *Label64 = nullptr;
    TShapeCircle *shp_TX = nullptr;
    QLabel *Label65 = nullptr;
    TShapeCircle *shp_RX = nullptr;
    QPushButton *btn_Connect = nullptr;
    QPushButton *btn_GetCalibInfo = nullptr;
    QLineEdit *edt_Tx = nullptr;
    QPushButton *btn_SendCmd = nullptr;
    QPushButton *btn_Connect2 = nullptr;
    QGroupBox *grp_CameraPars = nullptr;
    QLabel *lbl_ADCResolution_Text = nullptr;
    QComboBox *cbb_ADCResolution = nullptr;
    QLabel *lbl_RefreshRate_Text = nullptr;
    QComboBox *cbb_RefreshRate = nullptr;
    QLabel *lbl_ArrangeMode_Text = nullptr;
    QComboBox *cbb_ArrangeMode = nullptr;
    QCheckBox *chk_AutoSend = nullptr;
    QComboBox *cbb_OutPortNum = nullptr;
    QLabel *lbl_DelayMs_Text = nullptr;
    QLineEdit *edt_DelayMs = nullptr;
    QComboBox *cbb_OutBaud = nullptr;
    QCheckBox *chk_LedEN = nullptr;
    QCheckBox *chk_FrmHalf = nullptr;
    QLabel *lbl_Cell = nullptr;
    QLabel *lbl_RTC = nullptr;
    QLabel *lbl_SavedPhotoNum_Caption = nullptr;
    QLabel *lbl_SavedPhotoNum = nullptr;
    QLabel *Label9 = nullptr;
    QPushButton *btn_SaveOnePhoto = nullptr;
    QPushButton *btn_ReadLastPhoto = nullptr;
    QLineEdit *edt_CurrentPhotoNum = nullptr;
    QPushButton *btn_ReadOnePhoto = nullptr;
    QLabel *lbl_CurrentPhotoDate = nullptr;
    QLabel *lbl_CurrentPhotoTime = nullptr;
    QPushButton *btn_ReadPrivPhoto = nullptr;
    QPushButton *btn_ReadNextPhoto = nullptr;
    QPushButton *btn_ClearAllPhoto = nullptr;
    QPushButton *btn_Reboot = nullptr;
    QPushButton *btn_SetParsDef = nullptr;
    QPushButton *btn_SetDT = nullptr;
    QGroupBox *grp_CalcAndShow = nullptr;
    QCheckBox *chk_Mirror_LR = nullptr;
    QComboBox *cbb_GrayColor_SubMeth = nullptr;
    QLabel *lbl_Emissivity_Text = nullptr;
    QLineEdit *edt_Emissivity = nullptr;
    QComboBox *cbb_PixsType = nullptr;
    QLabel *lbl_InterMethodFirst_Text = nullptr;
    QComboBox *cbb_InterMethodFirst = nullptr;
    QLabel *lbl_InterMethodSecond_Text = nullptr;
    QComboBox *cbb_InterMethodSecond = nullptr;
    QCheckBox *chk_Temperature_UpLowAuto = nullptr;
    QLineEdit *edt_Temperature_Lower = nullptr;
    QLineEdit *edt_Temperature_Upper = nullptr;
    QCheckBox *chk_brokenPixelsCorr = nullptr;
    QCheckBox *chk_Filter = nullptr;
    QComboBox *cbb_FilterMethod = nullptr;
    QLineEdit *edt_FilterPixCount = nullptr;
    QLineEdit *edt_Sigma = nullptr;
    QCheckBox *chk_ShowTarget = nullptr;
    QCheckBox *chk_ShowTarget_Text = nullptr;
    QLineEdit *edt_TargetSize = nullptr;
    QLineEdit *edt_TextHeight = nullptr;
    QComboBox *cbb_Scale = nullptr;
    QGroupBox *grp_RTDatas = nullptr;
    QLabel *lbl_Vdd = nullptr;
    QLabel *lbl_Ta = nullptr;
    QLabel *lbl_CenterTemp = nullptr;
    QLabel *lbl_MaxTemp = nullptr;
    QLabel *lbl_MinTemp = nullptr;
    QLabel *lbl_AvgTemp = nullptr;
    QLabel *lbl_MouseMoveText = nullptr;
    QCheckBox *chk_Sharpen = nullptr;
    QCheckBox *chk_Blur = nullptr;
    QCheckBox *chk_Negative = nullptr;
    QCheckBox *chk_Exposure = nullptr;
    QCheckBox *chk_HideMaignInter = nullptr;
    QCheckBox *chk_DouFrameUpdate = nullptr;
    QCheckBox *chk_Slugg = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *Timer3 = nullptr;
    std::array<QLabel *, 11> lbl_ColorLegend{};  // lbl_ColorLegend1 .. lbl_ColorLegend11

private:
    std::unique_ptr<TKorvaleProgram> fProgram;
};
