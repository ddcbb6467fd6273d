#pragma once
// Connecting to the module: the port settings the connect button applies, the
// read time-out box, and the texts of the status bar and messages that belong to
// the connection (panel 0 state, open error, lost connection, the rates of panel 5).

#include <QString>

#include <cstdint>
#include <optional>

struct TWindowState;

// Timer3 fires this long after a successful connect; it then waits
// AfterConnectDelayMs with the message loop running and runs the read-parameters
// action, so the module is asked about 300 ms after the port opened.
inline constexpr int Timer3IntervalMs = 100;
inline constexpr int AfterConnectDelayMs = 200;
// Timer2: the rates of panel 5 are counts within one second.
inline constexpr int Timer2IntervalMs = 1000;

// The settings `btn_ConnectClick` gives the serial component before opening it.
struct TPortSettings {
    QString CommName;       // "//./" + the text of cbb_Port
    uint32_t BaudRate = 0;  // the number in cbb_Baud
    int ByteSize = 8;       // data bits
    char Parity = 'N';      // none
    bool ParityCheck = true;
    int StopBits = 1;
    uint32_t ReadIntervalTimeout = 0;  // the number in edt_ComTimeout, ms
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    bool Inx_XonXoffFlow = false;
    bool Outx_XonXoffFlow = false;
};

// The settings for the texts of cbb_Port, cbb_Baud and edt_ComTimeout. A speed or
// time-out that is not a number raises TConvertError; so does a speed below 1 or a
// negative time-out, which the port would otherwise take as huge unsigned values.
TPortSettings ConnectPortSettings(const QString &portText, const QString &baudText,
                                  const QString &timeoutText, int languageNum);

// edt_ComTimeoutChange: the read interval time-out to apply, or std::nullopt when
// the box is empty, not a number or negative (ignored).
std::optional<uint32_t> ComTimeoutFromText(const QString &text);

// Status-bar panel 0: port, " ", speed, " N 8 1 ", then "已连接" / "Connected" or
// "未连接" / "Disconnected".
QString ConnectionPanelText(const QString &portText, const QString &baudText, bool connected,
                            int languageNum);

// The message shown when the port cannot be opened: the port name first, then
// "打开错误" / "Open Error", line feed and carriage return, and the advice.
QString OpenErrorText(const QString &portText, int languageNum);

// Status-bar panel 6 after the serial component reported that the device went away
// (hang-up request): the notice prefix of the panel and "连接已断开" /
// "Connection lost". Panel 0 then shows ConnectionPanelText(..., false, ...).
QString ConnectionLostText(int languageNum);

// Status-bar panel 5: "数据接收：" n "Hz  数据计算：" n "Hz  图像更新：" n "Hz" or
// "DataRecv:" n "Hz  DataCalc:" n "Hz  ImageRefresh:" n "Hz".
QString RatesPanelText(int languageNum, int32_t dataRecvRate, int32_t dataCalcRate, int32_t picUpdateRate);

// Timer2Timer: takes the three counts of the past second from `state`, resetting
// each to 0 in the same step (a frame counted meanwhile goes into the next second,
// none is lost), and returns the panel 5 text in the state's language.
QString TakeRatesPanelText(TWindowState &state);
