#pragma once
// The port settings the connect button applies, read from the three boxes of the
// port group, and the timing of the read-parameters step after a connect.

#include <QString>

#include <cstdint>
#include <optional>

// Timer3 fires this long after a successful connect; it then waits
// AfterConnectDelayMs with the message loop running and runs the read-parameters
// action, so the module is asked about 300 ms after the port opened.
inline constexpr int Timer3IntervalMs = 100;
inline constexpr int AfterConnectDelayMs = 200;
// Timer2: the rates of panel 5 are counts within one second.
inline constexpr int Timer2IntervalMs = 1000;

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
// time-out that is not a number raises EConvertError; so does a speed below 1 or a
// negative time-out, which the port would otherwise take as huge unsigned values.
TPortSettings ConnectPortSettings(const QString &portText, const QString &baudText,
                                  const QString &timeoutText, int32_t languageNum);

// edt_ComTimeoutChange: the read interval time-out to apply, or std::nullopt when
// the box is empty, not a number or negative (ignored).
std::optional<uint32_t> ComTimeoutFromText(const QString &text);
