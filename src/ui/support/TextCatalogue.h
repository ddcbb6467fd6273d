#pragma once
// Every bilingual text of the window in one place: the stored (Chinese) captions,
// hints and list items of the controls with their English replacements, and the
// status, message and readout texts. Looked up by LanguageNum: 0 Chinese, any other
// value English.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

enum class TText {
    // Window title: head, then the version, then the build time.
    TitleHead,
    TitleCompiled,
    // Connecting.
    ConnectPort,     // btn_Connect while disconnected
    DisconnectPort,  // btn_Connect while connected
    Connected,
    Disconnected,
    OpenError,         // after the port name
    OpenErrorAdvice,   // after a line break
    PortPermission,    // a port that exists but may not be opened
    ConnectionLost,    // status panel 6 after the device went away
    NotAValidSpeed,    // "%1" is the typed text
    NotAValidTimeout,  // "%1" is the typed text
    NotAValidInteger,  // "%1" is the typed text
    NotAValidFloat,    // "%1" is the typed text
    // Sending and receiving (status panels 1 to 5).
    SendCommand,
    SendCount,
    RecvCount,
    DataCheckCorrect,
    DataCheckError,
    RateRecv,
    RateCalc,
    RateRefresh,
    // Module status.
    CellVoltageSys,    // lbl_Cell from a "SYS" frame
    CellVoltageFrame,  // lbl_Cell from the block of a frame
    // Readouts and the notice panel.
    Vdd,
    Ta,
    CenterTemp,
    MaxTemp,
    MinTemp,
    AvgTemp,
    MouseTemp,
    Notice,
    VddAbnormal,
    SnapshotNotSaved,  // status panel 6 after a snapshot could not be written
    // Target marker names.
    MarkMin,
    MarkMax,
    MarkCentre,
    MarkMouse,
    // Recording and playback.
    RecordStart,          // btn_Record while not recording
    RecordStop,           // btn_Record while recording
    RecordInfo,           // "%1" elapsed, "%2" frames, "%3" size
    RecordCannotStart,    // "%1" why
    RecordFailed,         // status panel 6; "%1" why
    SavedTo,              // status panel 6; "%1" the file's full path
    Play,                 // btn_PlayPause while paused
    Pause,                // btn_PlayPause while playing
    Playing,              // status panel 6; "%1" the file
    PlaybackEnd,          // status panel 6
    PlaybackDamaged,      // status panel 6; "%1" where reading stopped
    ShowingTemperatures,  // status panel 6; "%1" the file
    OpenFileTitle,        // the file dialog's title
    OpenFileFilter,       // the file dialog's filter
    OpenFileFailed,       // "%1" the file, "%2" why
    // The analysis window, regions, trend, histogram, isotherm and alarm.
    AnalysisTitle,
    RegionName,
    RegionBox,
    RegionLine,
    RegionSpot,
    SeriesFrameMax,
    SeriesFrameMin,
    SeriesFrameAvg,
    SeriesRegionMax,
    SeriesRegionAvg,
    AlarmNotice,
    ColumnName,
    ColumnKind,
    ColumnMin,
    ColumnMax,
    ColumnAvg,
    ColumnSensorPixels,
    TrendCaption,
    HistogramCaption,
    TimeAxis,
    TempAxis,
    CountAxis,
    Span10s,
    Span1min,
    Span10min,
    RegionValueMax,
    RegionValueAvg,
    HistogramFrame,
    TrendMax,
    TrendMin,
    TrendAvg,
    Isotherm,
    AlarmAbove,
    AlarmLogCaption,
    ExportTrend,
    RemoveRegion,
    ExportFailed,
    RegionsHint,
};

// The text in the language `languageNum`.
QString Tr(TText id, int32_t languageNum);

// What English does to a control's hint.
enum class THintInEnglish : uint8_t { Keep, Clear, Replace };

// The texts of one control, found by its object name.
struct TControlTexts {
    const char *Name = "";
    QString Caption;         // stored caption (title of a group, text of a label or button)
    QString Hint;            // stored hint; empty: no tooltip
    QStringList Items;       // stored items of a list
    QString EnglishCaption;  // empty: the caption stays
    THintInEnglish EnglishHint = THintInEnglish::Keep;
    QString EnglishHintText;   // for THintInEnglish::Replace
    QStringList EnglishItems;  // replace the first items of the list; the rest stay
};

// Every control with a text of its own, in the order the window applies English.
const std::vector<TControlTexts> &ControlTextTable();
// The entry of `name`; an empty entry (no texts) when the control has none.
const TControlTexts &ControlTexts(const char *name);

// Items of the port speed lists cbb_Baud and cbb_OutBaud: "115200" ... "1382400".
const QStringList &BaudRateItems();

// The seven status panels as stored: widths and texts.
inline constexpr int StoredPanelCount = 7;
int StoredPanelWidth(int panel);
QString StoredPanelText(int panel);
// The longest texts a panel shows in either language (panel 0 with a usual device
// path); the window makes each panel wide enough for them.
QStringList LongestPanelTexts(int panel);

// The English texts of the status panels 1 to 4, written whenever the English
// captions are applied (panel 0, 5 and 6 are built from the state).
QString EnglishPanelText(int panel);
