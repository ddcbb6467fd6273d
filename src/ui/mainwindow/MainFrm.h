#pragma once
// The program's single window, Form_Main.
//
// The window owns its controls (private; each carries its name as objectName, which
// is how tests find them), the three UI timers and the periodic timer thread
// myTimer. It shows the sensor image object's pictures and talks to the module
// through the session; it owns neither. A handler reads its controls and calls the
// session or the image object; the session's signals come back to handlers here.
//
// Source files:
//   mainwindow/MainFrm.cpp              construction, FormCreate, FormResize, lifetime
//   mainwindow/MainFrm_Build*.cpp       the controls with their stored content and initial state
//   mainwindow/MainFrm_Wiring.cpp       every handler connection (through the program-wide error guard)
//   mainwindow/MainFrm_Captions.cpp     UpdateLanguageShow and the title
//   device/MainFrm_Connect.cpp          connecting, disconnecting, the lost link
//   device/MainFrm_ConnectStatus.cpp    Timer2, Timer3, the read time-out, UpdateSysParsShow
//   device/MainFrm_Commands.cpp         CommSendStr, the read-parameters action, device parameters
//   device/MainFrm_CommandsPhoto.cpp    the module's photo store and the photo number box
//   liveview/MainFrm_LiveView.cpp       the live-view tick, readouts and target markers
//   liveview/MainFrm_Legend.cpp         DrawColorLegend
//   liveview/MainFrm_Grid.cpp           InitGrid, DatasUpdateToGrid, StringGrid1DrawCell
//   liveview/MainFrm_Display.cpp        the display option handlers
//   liveview/MainFrm_Snapshot.cpp       snapshots of the picture and its legend
//   playback/MainFrm_Playback.cpp       recording, playback, opening temperature files, notices
//   analysis/MainFrm_Analysis.cpp       regions drawn on the picture, the analysis window

#include "link/LinkStatus.h"
#include "pipeline/ColorMap.h"
#include "pipeline/PixelTypes.h"

#include <QDeadlineTimer>
#include <QMainWindow>
#include <QPoint>
#include <QStyle>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QScrollArea;
class QShortcut;
class QSlider;
class QTimer;
class QWidget;
class TMLX90640;
class TModuleSession;
class TPictureBox;
class TShapeCircle;
class TCursorTracker;
class TStatusPanels;
class TStringGrid;
class TAnalysis;
class TForm_Analysis;
class TZorvikTimer;
struct TMLX90640Published;
struct TMarkParams;
struct TMarkPoint;

class TForm_Main : public QMainWindow {
    Q_OBJECT
public:
    // The window shows `image` and talks to the module through `session`; both must
    // outlive it.
    TForm_Main(TModuleSession &session, TMLX90640 &image, QWidget *parent = nullptr);
    ~TForm_Main() override;

    TModuleSession &Session() { return fSession; }
    TMLX90640 &Image() { return fImage; }
    // Language of every user-visible text: 0 Chinese, any other value English. The
    // program keeps English for the whole run; the next resize applies a change.
    int32_t GetLanguageNum() const { return LanguageNum; }
    void SetLanguageNum(int32_t languageNum) { LanguageNum = languageNum; }
    // The program's folder (followed by "/"), where snapshots go.
    QString GetApplicationPathStr() const { return ApplicationPathStr; }
    void SetApplicationPathStr(const QString &path) { ApplicationPathStr = path; }
    // Captions of btn_Connect while disconnected and while connected.
    QString GetConnectPortCaption() const { return ConnectPortCaption; }
    QString GetDisConnectPortCaption() const { return DisConnectPortCaption; }
    // The last cursor position over the picture, in picture pixels.
    QPoint GetMouseIndex_InImage1() const { return QPoint(MouseXIndex_InImage1, MouseYIndex_InImage1); }
    // Pictures shown since Timer2 last took the rate.
    int32_t GetpicUpdateRate() const { return picUpdateRate; }
    // The periodic timer thread; created disabled by FormCreate.
    TZorvikTimer *GetmyTimer() const { return myTimer; }
    // The published frame whose picture Image1 shows; nullptr before the first one.
    std::shared_ptr<const TMLX90640Published> GetShownFrame() const { return fShownFrame; }
    // The regions, trend, isotherm and alarm of the picture, and their window (nullptr
    // until btn_Analysis first opens it).
    TAnalysis &Analysis() { return *fAnalysis; }
    TForm_Analysis *AnalysisWindow() const { return fAnalysisWindow; }

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

    // ---- Live view
    void Timer1Timer(QObject *Sender);
    void DoTimer(QObject *Sender);
    void UpdateTargetImg();
    bool MouseIsInImage1();
    // A refresh with a new picture: the picture copy (with the hidden effects when
    // `withEffects`), grid, legend, readouts and markers, the flags cleared and
    // picUpdateRate counted. Run by Timer1Timer and by TThreadUpdatePic.
    void UpdatePicture(bool withEffects);

    // ---- Analysis: the picture shown again (the frame on screen with its markers,
    // isotherm and regions as they are now), after a region or a setting changed.
    void RedrawPicture();
    void btn_AnalysisClick(QObject *Sender);

    // ---- Snapshots
    void Snapscreen(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const QString &FileName);

    // ---- Commands: the one send path.
    void CommSendStr(const QString &str);
    void CommSendStr(const std::string &str) { CommSendStr(QString::fromStdString(str)); }
    void CommSendBytes(const uint8_t *bytes, int32_t count);

    // ---- Module status
    // The module's system-parameter block into the device-parameter controls.
    void UpdateSysParsShow(const TUINT16s &pars);

    // ---- Handlers of the controls, timers and the session, connected in MainFrm_Wiring.cpp.
    void Image1MouseEnter(QObject *Sender);
    void Image1MouseLeave(QObject *Sender);
    void Image1DblClick(QObject *Sender);
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
    void btn_ConnectClick(QObject *Sender);
    void btn_Connect2Click(QObject *Sender);
    void Timer2Timer(QObject *Sender);
    void Timer3Timer(QObject *Sender);
    void edt_ComTimeoutChange(QObject *Sender);
    // The session reports that Comm1's / nrComm1's device went away.
    void Comm1LinkLost();
    void nrComm1LinkLost();

    // ---- Recording and playback (playback/MainFrm_Playback.cpp).
    void btn_RecordClick(QObject *Sender);
    void btn_OpenCaptureClick(QObject *Sender);
    void btn_PlayPauseClick(QObject *Sender);
    void cbb_PlaySpeedChange(QObject *Sender);
    void sld_PlaybackChange(QObject *Sender);
    // Paused: plays on until the next picture is shown (the right-arrow key).
    void StepPlaybackFrame();
    // Opens `path` as btn_OpenCapture does once a file is chosen: a temperature file
    // (".txt" without the capture magic) is shown, anything else is played as a
    // recording. False, with the error shown, when it could not be opened.
    bool OpenFile(const QString &path);
    bool PlayRecording(const QString &path);
    bool ShowTemperatureFile(const QString &path);
    // The temperature file on show (empty when none).
    QString GetShownTemperatureFile() const { return fStillFile; }
    // Who picks the file for btn_OpenCapture; by default a file dialog. Returning an
    // empty text cancels.
    void SetOpenFileChooser(std::function<QString()> chooser) { fChooseFile = std::move(chooser); }
    // Shows `text` in status panel 6 and keeps it there for `holdMs` milliseconds
    // (-1: until the next notice), over the readout notices of new pictures.
    void ShowNotice(const QString &text, int holdMs);

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
    void BuildRecordPlay();
    void BuildStatusBar();
    void BuildTimers();
    // Handler connections (MainFrm_Wiring.cpp).
    void ConnectDisplayHandlers();
    void ConnectLinkHandlers();
    void ConnectPlaybackHandlers();
    // The English captions, hints and items of the controls (MainFrm_Captions.cpp).
    void ApplyEnglishCaptions();
    // The scrolled surface follows the controls' extent.
    void UpdateScrollExtent();
    // Reads both range edits into the limits (the automatic range switch and the
    // two range edits share it).
    void ApplyTypedTemperatureRange();
    // Sends a device parameter unless the read-parameters protection is up; a list's
    // value only when its text is one of its items.
    void SendDeviceParameter(int parameter, int64_t value);
    void SendDeviceListItem(int parameter, QComboBox *list);
    // The live-view tick's copies of the link's status into the panels and labels.
    void ShowReceiveStatus();
    void ShowModuleLabels(const TLinkStatus &status);
    // The count of saved photos has been shown anew: the photo number box settles on
    // it (once the photo controls are enabled).
    void SavedPhotoNumShown();
    // The device-parameter controls (enabled once the module reported its parameters)
    // and the photo controls (enabled once it sent its calibration).
    std::vector<QWidget *> DeviceParameterControls() const;
    std::vector<QWidget *> PhotoControls() const;
    // Playback and recording: captions and enabled states that follow them.
    void ShowPlaybackState();
    void UpdateRecordInfo();
    void PlaybackPositionChanged();
    void PlaybackFinished();
    void RecordingFailed(const QString &why);
    // Ends the recording and says where it went.
    void FinishRecording();
    // Closes playback and the temperature file on show (a port is about to connect).
    void CloseOpenedFiles();
    // Disconnects a connected port as btn_Connect would (a file is about to play).
    void DisconnectForFile();
    // Shows the temperature file again (a display option changed).
    void RedrawTemperatureFile();
    bool NoticeHeld() const;
    // The frame's bitmap into Image1 (with the hidden effects when `withEffects`).
    void ShowFramePicture(const TMLX90640Published &frame, bool withEffects);
    // The target markers into Image1's picture.
    void PaintTargets(const TPixel &minPix, const TPixel &maxPix, const TPixel &centre,
                      const std::optional<TMarkPoint> &cursor, double cursorTemp, bool absolute,
                      const TMarkParams &params);
    // The analysis: built with the controls, its gestures on Image1 connected.
    void BuildAnalysis();
    // Seconds since the window was made: the trend's time.
    double AnalysisSeconds() const;

    TModuleSession &fSession;
    TMLX90640 &fImage;

    // Window-wide state of the window itself.
    int32_t LanguageNum = 1;
    QString ApplicationPathStr;     // program folder + "/"
    QString ConnectPortCaption;     // btn_Connect while disconnected
    QString DisConnectPortCaption;  // btn_Connect while connected
    int32_t picUpdateRate = 0;      // pictures shown in the current second
    int32_t MouseXIndex_InImage1 = 0;
    int32_t MouseYIndex_InImage1 = 0;
    TCursorTracker *fCursor = nullptr;  // the cursor as this window last saw it
    // Panel 6 keeps the lost-connection notice until the next connect: a frame that
    // was still being decoded when the line went must not replace it.
    bool fHoldConnectionLostNotice = false;
    // A notice that stays in panel 6 until its deadline.
    QString fHeldNotice;
    QDeadlineTimer fNoticeDeadline;
    // The temperature file on show; empty while frames come from a module or a recording.
    QString fStillFile;
    std::function<QString()> fChooseFile;

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
    QPushButton *btn_Analysis = nullptr;

    // ---- Group grp_RecordPlay
    QGroupBox *grp_RecordPlay = nullptr;
    QPushButton *btn_Record = nullptr;
    QLabel *lbl_RecordInfo = nullptr;
    QPushButton *btn_OpenCapture = nullptr;
    QPushButton *btn_PlayPause = nullptr;
    QComboBox *cbb_PlaySpeed = nullptr;
    QSlider *sld_Playback = nullptr;
    QLabel *lbl_PlayPosition = nullptr;
    QShortcut *fStepShortcut = nullptr;  // the right-arrow key while paused

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

    // The 32 x 24 grid the data grid paints: that of the frame whose texts it holds,
    // or the object's initial grid before the first frame.
    std::shared_ptr<const TPixels> fGridPixels;
    // The frame on screen: readouts, markers and snapshot temperatures come from it.
    std::shared_ptr<const TMLX90640Published> fShownFrame;
    TZorvikTimer *myTimer = nullptr;
    TAnalysis *fAnalysis = nullptr;
    TForm_Analysis *fAnalysisWindow = nullptr;
    std::chrono::steady_clock::time_point fAnalysisStart = std::chrono::steady_clock::now();
    bool fPlacedAfterShow = false;
    // The colours the legend bar shows, so a refresh with the same ones skips it.
    bool fLegendDrawn = false;
    TColorTable fLegendColors;
};
