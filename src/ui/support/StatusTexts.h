#pragma once
// The texts the window builds from the module link's data: the status panels, the
// module's battery, clock and photo labels, the connection messages. Each in the
// language `languageNum` (0 Chinese, any other value English); numbers with the
// user's decimal separator and no grouping.

#include "link/FrameIntake.h"
#include "link/LinkStatus.h"
#include "protocol/SysParsBlock.h"

#include <QString>

#include <cstdint>

// Two upper-case hexadecimal digits; a packed-BCD byte 0x19 reads "19".
QString HexByteText(uint8_t value);

// Panel 2: "Recv:" / "接收:" and the byte count: "1023Bytes", "1.000KB", "1.000MB".
// The alternative receive path always writes the Chinese prefix.
QString RecvCounterText(const TReceiveCounters &counters, int32_t languageNum);
QString RecvCounterText(int64_t byteCount, int32_t languageNum);

// Panel 3: "SysPars 71", "EEPROM 1673", "Frame1 1748", "Photo0 1681"; empty before
// the first frame.
QString FrameTypeText(const TLinkStatus &status);
// Panel 4: the verdict of the last check word; a Chinese "correct" verdict of a whole
// frame carries the mean raw pixel word. Empty before the first check.
QString DataCheckText(const TLinkStatus &status, int32_t languageNum);

// lbl_Cell: the battery voltage in mV, labelled as a "SYS" frame or a frame's block
// reports it ("Button battery voltage:" / "Cell voltage:" in English).
QString CellVoltageText(uint16_t millivolts, TBlockSource source, int32_t languageNum);
// lbl_RTC: "20YY-MM-DD hh:mm:ss" from the packed-BCD words 21 to 23.
QString RtcText(const TSysParsBlock &block);
// lbl_CurrentPhotoDate "20YY-MM-DD " (ending in a space) and lbl_CurrentPhotoTime
// "hh:mm:ss".
QString PhotoDateText(const TPhotoStamp &stamp);
QString PhotoTimeText(const TPhotoStamp &stamp);

// Panel 0: port, " ", speed, " N 8 1 ", then "已连接" / "Connected" or "未连接" /
// "Disconnected".
QString ConnectionPanelText(const QString &portText, const QString &baudText, bool connected,
                            int32_t languageNum);
// The message shown when the port cannot be opened: the port name first, then
// "打开错误" / "Open Error", line feed and carriage return, and the advice.
QString OpenErrorText(const QString &portText, int32_t languageNum);
// The same for an open that failed with `openErrno`: when the port exists but the
// user may not open it (EACCES, EPERM), a line with the fix follows.
QString PortOpenErrorText(const QString &portText, int openErrno, int32_t languageNum);
// Panel 6 after the device went away.
QString ConnectionLostText(int32_t languageNum);
// Panel 6 after a snapshot or its temperature file could not be written.
QString SnapshotNotSavedText(int32_t languageNum);
// Panel 5: "数据接收：" n "Hz  数据计算：" n "Hz  图像更新：" n "Hz" or the English form.
QString RatesPanelText(int32_t languageNum, int32_t dataRecvRate, int32_t dataCalcRate,
                       int32_t picUpdateRate);
// Panel 3 while sending, and panel 1: "发送:" / "Send:" with the byte count.
QString SendingStatusText(int32_t languageNum);
QString SendCountText(int32_t languageNum, int64_t txByteCount);
