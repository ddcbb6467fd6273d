#pragma once
// The command lines the program sends to the thermal-imaging module, and the
// conversions every command handler of the main window goes through.
//
// A command is "$", a four-letter keyword, for most keywords "=" and one or two
// decimal numbers separated by ",", then CR LF. The free command line typed in
// `edt_Tx` is the one exception: it goes out exactly as typed.
//
// Everything here is pure (no window, no port): the window's handlers call these
// functions and pass the result to `CommSendStr`. A handler that must send nothing
// gets std::nullopt. Conversion errors that the window must report through its
// program-wide error dialog are raised as TConvertError.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>

// Picks the text of the program's language: `languageNum` 0 is Chinese, any other
// value English.
inline QString LangText(int languageNum, const char *chinese, const char *english) {
    return QString::fromUtf8(languageNum == 0 ? chinese : english);
}

// A typed text that is not a usable number. The message names the text and is in
// the program's language; what() gives it as UTF-8 for the error dialog.
class TConvertError : public std::runtime_error {
public:
    explicit TConvertError(const QString &message);
    QString Message() const { return fMessage; }

private:
    QString fMessage;
};

// Parses a typed integer with the default locale (the user's), without thousands
// grouping; leading and trailing blanks are allowed. Returns std::nullopt for an empty text, a text that is
// not an integer or a number outside the 32-bit signed range.
std::optional<int32_t> TryParseTypedInt(const QString &text);

// As TryParseTypedInt, but raises TConvertError ("'x' is not a valid integer value")
// in the language `languageNum` when the text is not an integer.
int32_t ParseTypedInt(const QString &text, int languageNum);

// ---------------------------------------------------------------------------
// Sending (`CommSendStr`)

// Pause, with the message loop running, before a command is queued.
inline constexpr int CommSendDelayMs = 10;

// The bytes that go out for `str`: the characters up to the first character 0,
// one byte each, the low 8 bits of its UTF-16 code unit ("中", U+4E2D, gives 0x2D).
// `TXByteCount` grows by the size of this array: it counts the bytes that were
// queued, not the length of the text in some multi-byte encoding.
QByteArray CommandBytes(const QString &str);

// Status-bar panel 3 while sending: "发送指令" / "Send Command".
QString SendingStatusText(int languageNum);

// Status-bar panel 1: "发送:" / "Send:" followed by the byte count in decimal.
QString SendCountText(int languageNum, int32_t txByteCount);

// ---------------------------------------------------------------------------
// Command lines. Each ends in CR LF.

inline constexpr char CommandEnd[] = "\r\n";

// Parameter numbers of "$SETP". 1 to 11 are also the positions of the same
// settings in the module's system-parameter block.
enum TSetParNum : int {
    SPN_OutBaud = 1,        // module's serial speed / 100
    SPN_ADCResolution = 4,  // item index of cbb_ADCResolution
    SPN_RefreshRate = 5,    // item index of cbb_RefreshRate
    SPN_ArrangeMode = 6,    // item index of cbb_ArrangeMode
    SPN_AutoSend = 7,       // live data output on/off
    SPN_OutPortNum = 8,     // item index of cbb_OutPortNum
    SPN_LedEN = 9,          // indicator LED on/off
    SPN_DelayMs = 10,       // minimum interval between frames, ms
    SPN_FrmHalf = 11,       // frame compression on/off
    SPN_Action = 17,        // the value is a module action (TModuleAction)
};

// Module actions, sent as "$SETP=17,<action>".
enum TModuleAction : int {
    MA_Reboot = 1,
    MA_ParsToDefault = 2,
    MA_SendCalibration = 3,  // the module answers with its calibration memory
    MA_SendSysPars = 4,      // the module answers with its system-parameter block
};

// "$SETP=<parameter>,<value>" CR LF; the value in decimal, "-" for a negative one.
QString SetParCommand(int parameter, int64_t value);

// "$SETP=17,<action>" CR LF (btn_Reboot, btn_SetParsDef, read-parameters action).
QString ModuleActionCommand(TModuleAction action);

QString SavePhotoCommand();      // "$SVEP" CR LF      (btn_SaveOnePhoto)
QString ClearAllPhotoCommand();  // "$CLRP" CR LF      (btn_ClearAllPhoto)
QString ReadLastPhotoCommand();  // "$OUTP=-1" CR LF   (btn_ReadLastPhoto)

// "$OUTP=<number>" CR LF (btn_ReadPrivPhoto, btn_ReadNextPhoto).
QString ReadPhotoCommand(int64_t number);

// "$OUTP=" followed by the text of edt_CurrentPhotoNum as it stands, leading zeros
// included, then CR LF (btn_ReadOnePhoto).
QString ReadOnePhotoCommand(const QString &photoNumText);

// "$STDT=YYYY/MM/DD HH:MM:SS" CR LF from the computer's local date and time
// (btn_SetDT). Hours run 00 to 23.
QString SetDateTimeCommand(const QDateTime &localTime);

// ---------------------------------------------------------------------------
// Device-parameter handlers. They send nothing (std::nullopt) while
// `ReadParsIsBusy` is set.

// cbb_ADCResolution, cbb_RefreshRate, cbb_ArrangeMode, cbb_OutPortNum change:
// "$SETP=<parameter>,<item index>".
std::optional<QString> ItemIndexParCommand(TSetParNum parameter, int itemIndex, bool readParsIsBusy);

// chk_AutoSend, chk_LedEN, chk_FrmHalf click: "$SETP=<parameter>,1" when checked,
// ",0" when not.
std::optional<QString> CheckParCommand(TSetParNum parameter, bool checked, bool readParsIsBusy);

// cbb_OutBaud change: "$SETP=1," followed by the number in the box's text divided
// by 100 (truncated). A text that is not a number raises TConvertError, so the
// window's error dialog shows it and nothing is sent.
std::optional<QString> OutBaudParCommand(const QString &boxText, bool readParsIsBusy, int languageNum);

// edt_DelayMs change: "$SETP=10," followed by the number in the box. An empty box
// or a text that is not a number sends nothing, silently.
std::optional<QString> DelayMsParCommand(const QString &boxText, bool readParsIsBusy);

// ---------------------------------------------------------------------------
// Read-parameters action (btn_GetCalibInfoClick), as steps for the window to run in
// order. It asks the module for its calibration memory and its system-parameter
// block; the pauses keep the message loop running, so the answers are received and
// shown while `ReadParsIsBusy` is still set and are not echoed back.

enum TReadParsStepKind {
    RPS_Begin,  // set ReadParsIsBusy, disable btn_GetCalibInfo
    RPS_Send,   // CommSendStr(Command)
    RPS_Delay,  // Delay(DelayMs)
    RPS_End,    // enable btn_GetCalibInfo, clear ReadParsIsBusy
};

struct TReadParsStep {
    TReadParsStepKind Kind;
    TModuleAction Action;  // RPS_Send: the action whose command is sent
    int DelayMs;           // RPS_Delay: the pause

    QString Command() const { return ModuleActionCommand(Action); }
};

std::span<const TReadParsStep> ReadParsSequence();
