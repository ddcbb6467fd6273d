#pragma once
// The program's single window, Form_Main.
//
// The window owns every control, the three UI timers, the periodic timer thread
// myTimer, the window-wide state shared with the module link (WinState) and the one
// sensor image object. Controls are public members under their own names (also
// their objectName), so the module link's handlers and the tests reach them.
//
// Source files:
//   MainFrm.cpp          construction, FormCreate, FormResize, lifetime
//   MainFrm_Build*.cpp   the controls with their stored content and initial state
//   MainFrm_Wiring.cpp   every handler connection (through the program-wide error guard)
//   MainFrm_English.cpp  UpdateLanguageShow and the title
//   MainFrm_Legend.cpp   DrawColorLegend
//   MainFrm_Grid.cpp     InitGrid, DatasUpdateToGrid, StringGrid1DrawCell
//   MainFrm_Display.cpp  the display option handlers
//   MainFrm_Link.cpp     serial link, commands, connection, live view and snapshots
//   MainFrm_LiveView.cpp the live-view refresh, readouts and target markers
//   MainFrm_Snapshot.cpp snapshots of the picture and its legend

#include "link/WindowState.h"
#include "pipeline/PixelTypes.h"

#include <QMainWindow>
#include <QStyle>

#include <array>
#include <cstdint>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QScrollArea;
class QTimer;
class TMLX90640;
struct TMLX90640Published;
class TPictureBox;
class TShapeCircle;
class TStatusPanels;
class TStringGrid;
class TZorvikTimer;

// Serial components and frame intake of the module link; defined with the link
// handlers in MainFrm_Link.cpp.
struct TLinkParts;
struct TLinkPartsDeleter {
    void operator()(TLinkParts *parts) const;
};

class TForm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_Main(QWidget *parent = nullptr);
    ~TForm_Main() override;

    // Window-wide state shared with the module link.
    TWindowState WinState;

    // The periodic timer thread; created disabled by FormCreate.
    TZorvikTimer *GetmyTimer() const { return myTimer; }

    // ---- Client area
    QScrollArea *ScrollBox1 = nullptr;
    QWidget *ScrollBox1Content = nullptr;  // the scrolled surface holding the controls
    TStatusPanels *StatusBar1 = nullptr;

    // ---- Picture area
    TPictureBox *Image1 = nullptr;
    TPictureBox *img_ColorLegend = nullptr;
    std::array<QLabel *, 11> lbl_ColorLegend{};  // lbl_ColorLegend1 .. lbl_ColorLegend11
    TStringGrid *StringGrid1 = nullptr;
    QLabel *Panel1 = nullptr;
    QLabel *Panel2 = nullptr;
    QLabel *Panel3 = nullptr;
    QLabel *Panel4 = nullptr;

    // ---- Group grp_COMSet
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
    QPushButton *btn_Connect2 = nullptr;  // in ScrollBox1, hidden

    // ---- Group grp_CameraPars
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

    // ---- Photo column
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

    // ---- Group grp_CalcAndShow
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

    // ---- Group grp_RTDatas
    QGroupBox *grp_RTDatas = nullptr;
    QLabel *lbl_Vdd = nullptr;
    QLabel *lbl_Ta = nullptr;
    QLabel *lbl_CenterTemp = nullptr;
    QLabel *lbl_MaxTemp = nullptr;
    QLabel *lbl_MinTemp = nullptr;
    QLabel *lbl_AvgTemp = nullptr;
    QLabel *lbl_MouseMoveText = nullptr;

    // ---- Hidden option column
    QCheckBox *chk_Sharpen = nullptr;
    QCheckBox *chk_Blur = nullptr;
    QCheckBox *chk_Negative = nullptr;
    QCheckBox *chk_Exposure = nullptr;
    QCheckBox *chk_HideMaignInter = nullptr;
    QCheckBox *chk_DouFrameUpdate = nullptr;
    QCheckBox *chk_Slugg = nullptr;

    // ---- UI-thread timers
    QTimer *Timer1 = nullptr;  // 5 ms, live view
    QTimer *Timer2 = nullptr;  // 1000 ms, rates
    QTimer *Timer3 = nullptr;  // 100 ms, stopped; read parameters after connecting

    // ---- Start-up and layout
    void FormCreate(QObject *Sender);
    void FormResize(QObject *Sender);
    // Opens maximised on a screen at most 1500 pixels wide, else centred at 1500 x 760.
    void PlaceOnScreen(const QRect &screenGeometry, const QRect &availableGeometry);

    // ---- Bilingual captions
    void UpdateLanguageShow(int32_t lanNum);
    // The title for a language: head, version, middle and build time of the program file.
    QString BuildTitle(int32_t lanNum) const;

    // ---- Colour legend and data grid
    void DrawColorLegend();
    void InitGrid();
    void DatasUpdateToGrid();
    void StringGrid1DrawCell(QPainter *Canvas, int ACol, int ARow, const QRect &Rect, QStyle::State State);

    // ---- Display option handlers
    void cbb_FilterMethodChange(QObject *Sender);
    void cbb_GrayColor_SubMethChange(QObject *Sender);
    void cbb_InterMethodFirstChange(QObject *Sender);
    void cbb_InterMethodSecondChange(QObject *Sender);
    void cbb_PixsTypeChange(QObject *Sender);
    void cbb_ScaleChange(QObject *Sender);
    void chk_brokenPixelsCorrClick(QObject *Sender);
    void chk_FilterClick(QObject *Sender);
    void chk_HideMaignInterClick(QObject *Sender);
    void chk_Mirror_LRClick(QObject *Sender);
    void chk_ShowTargetClick(QObject *Sender);
    void chk_ShowTarget_TextClick(QObject *Sender);
    void chk_SluggClick(QObject *Sender);
    void chk_Temperature_UpLowAutoClick(QObject *Sender);
    void edt_EmissivityChange(QObject *Sender);
    void edt_FilterPixCountChange(QObject *Sender);
    void edt_SigmaChange(QObject *Sender);
    void edt_Temperature_LowerChange(QObject *Sender);
    void edt_Temperature_UpperChange(QObject *Sender);

    // ---- Live view (MainFrm_LiveView.cpp)
    void Timer1Timer(QObject *Sender);
    void DoTimer(QObject *Sender);
    void UpdateTargetImg();
    bool MouseIsInImage1();
    void Image1MouseEnter(QObject *Sender);
    void Image1MouseLeave(QObject *Sender);
    // A refresh with a new picture: the picture copy (with the hidden effects when
    // `withEffects`), grid, legend, readouts and markers, the flags cleared and
    // picUpdateRate counted. Run by Timer1Timer and by TThreadUpdatePic.
    void UpdatePicture(bool withEffects);
    // The published frame whose picture Image1 shows; nullptr before the first one.
    std::shared_ptr<const TMLX90640Published> GetShownFrame() const { return fShownFrame; }

    // ---- Snapshots (MainFrm_Snapshot.cpp)
    void Image1DblClick(QObject *Sender);
    void Snapscreen(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const QString &FileName);

    // ---- Frame intake (MainFrm_Link.cpp)
    void Comm1ReceiveData(QObject *Sender, const uint8_t *Buffer, uint16_t BufferLength);
    void nrComm1AfterReceive(QObject *Sender, const uint8_t *Buffer, uint32_t Received);

    // ---- Commands (MainFrm_Link.cpp)
    void CommSendStr(const QString &str);
    void CommSendBytes(const uint8_t *bytes, int32_t count);
    void btn_GetCalibInfoClick(QObject *Sender);
    void btn_ReadOnePhotoClick(QObject *Sender);
    void btn_SaveOnePhotoClick(QObject *Sender);
    void btn_ReadLastPhotoClick(QObject *Sender);
    void btn_ReadPrivPhotoClick(QObject *Sender);
    void btn_ReadNextPhotoClick(QObject *Sender);
    void btn_ClearAllPhotoClick(QObject *Sender);
    void btn_RebootClick(QObject *Sender);
    void btn_SetParsDefClick(QObject *Sender);
    void btn_SetDTClick(QObject *Sender);
    void btn_SendCmdClick(QObject *Sender);
    void cbb_ADCResolutionChange(QObject *Sender);
    void cbb_ArrangeModeChange(QObject *Sender);
    void cbb_OutBaudChange(QObject *Sender);
    void cbb_OutPortNumChange(QObject *Sender);
    void cbb_RefreshRateChange(QObject *Sender);
    void chk_AutoSendClick(QObject *Sender);
    void chk_FrmHalfClick(QObject *Sender);
    void chk_LedENClick(QObject *Sender);
    void edt_DelayMsChange(QObject *Sender);
    void edt_CurrentPhotoNumChange(QObject *Sender);

    // ---- Connection and module status (MainFrm_Link.cpp)
    void btn_ConnectClick(QObject *Sender);
    void btn_Connect2Click(QObject *Sender);
    void Timer2Timer(QObject *Sender);
    void Timer3Timer(QObject *Sender);
    void edt_ComTimeoutChange(QObject *Sender);
    void UpdateSysParsShow(const TUINT16s &pars);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Controls with their stored content (MainFrm_Build*.cpp).
    void CreateControls();
    void BuildComSet();
    void BuildCameraPars();
    void BuildPhotoColumn();
    void BuildPictureArea();
    void BuildCalcAndShow();
    void BuildRTDatas();
    void BuildHiddenColumn();
    void BuildStatusBar();
    void BuildTimers();
    // Handler connections (MainFrm_Wiring.cpp).
    void ConnectDisplayHandlers();
    void ConnectLinkHandlers();
    // The module link's components: created by FormCreate after the sensor image
    // object, destroyed first when the window goes (MainFrm_Link.cpp).
    void CreateLinkParts();
    // The scrolled surface follows the controls' extent.
    void UpdateScrollExtent();
    // Reads both range edits into the limits (the automatic range switch and the
    // two range edits share it).
    void ApplyTypedTemperatureRange();

    std::unique_ptr<TMLX90640> fMLX90640;  // the sensor image object, WinState.myMLX90640
    // The 32 x 24 grid the data grid paints: that of the frame whose texts it holds,
    // or the object's initial grid before the first frame.
    std::shared_ptr<const TPixels> fGridPixels;
    // The frame on screen: readouts, markers and snapshot temperatures come from it.
    std::shared_ptr<const TMLX90640Published> fShownFrame;
    TZorvikTimer *myTimer = nullptr;
    std::unique_ptr<TLinkParts, TLinkPartsDeleter> fLink;
    bool fPlacedAfterShow = false;
};

// The window; set by the program entry.
extern TForm_Main *Form_Main;
