#pragma once
// Texts of the live view: the readout labels, the cursor label and the notice in
// status panel 6. Chosen by the language (0 Chinese, otherwise English); numbers in
// "0.00" / "0.0" form with the user's decimal separator.

#include <QString>

#include <cstdint>
#include <optional>

// The unit appended to temperatures in absolute-temperature mode.
QString DegreeSign();

// What the readouts show, in volts and °C (or image values in image-only mode).
struct TLiveValues {
    double Vdd = 0.0;
    double Ta = 0.0;
    double Centre = 0.0;
    double Max = 0.0;
    double Min = 0.0;
    double Avg = 0.0;
};

struct TLiveReadouts {
    QString Vdd, Ta, CenterTemp, MaxTemp, MinTemp, AvgTemp;
};

// The six readout labels; the centre, maximum, minimum and average carry "℃" only
// when `absoluteTemp` (cbb_PixsType index 0).
TLiveReadouts LiveReadouts(const TLiveValues &v, int32_t languageNum, bool absoluteTemp);

// "光标温度：" / "Mouse Temp:", followed by the value when given; never a unit.
QString MouseTempText(int32_t languageNum, std::optional<double> value = std::nullopt);

// A value text drawn beside a marker: "0.0" form, with "℃" when `absoluteTemp`.
QString MarkValueText(double value, bool absoluteTemp);

// True when |vdd - 3.3| > 0.1, or vdd is not a number.
bool VddIsAbnormal(double vdd);

// Status panel 6: "提示消息：" / "Toast:", with "传感器VDD异常" / "Vdd abnormal"
// appended when the supply voltage is abnormal.
QString VddNoticeText(int32_t languageNum, double vdd);
