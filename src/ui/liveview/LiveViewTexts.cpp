#include "ui/liveview/LiveViewTexts.h"

#include "ui/support/Convert.h"

#include <cmath>

namespace {

QString Lang(int32_t languageNum, const char16_t *chinese, const char *english) {
    return languageNum == 0 ? QString::fromUtf16(chinese) : QString::fromLatin1(english);
}

}  // namespace

QString DegreeSign() {
    return QString(QChar(0x2103));  // ℃
}

TLiveReadouts LiveReadouts(const TLiveValues &v, int32_t languageNum, bool absoluteTemp) {
    const QString unit = absoluteTemp ? DegreeSign() : QString();
    TLiveReadouts r;
    r.Vdd = Lang(languageNum, u"内核电压：", "Core voltage:") + FormatFixed(v.Vdd, 2) + QLatin1Char('V');
    r.Ta = Lang(languageNum, u"外壳温度：", "Case Temp:") + FormatFixed(v.Ta, 1) + DegreeSign();
    r.CenterTemp = Lang(languageNum, u"中心温度：", "Center Temp:") + FormatFixed(v.Centre, 1) + unit;
    r.MaxTemp = Lang(languageNum, u"最高温度：", "Max Temp:") + FormatFixed(v.Max, 1) + unit;
    r.MinTemp = Lang(languageNum, u"最低温度：", "Min Temp:") + FormatFixed(v.Min, 1) + unit;
    r.AvgTemp = Lang(languageNum, u"平均温度：", "Ave Temp:") + FormatFixed(v.Avg, 1) + unit;
    return r;
}

QString MouseTempText(int32_t languageNum, std::optional<double> value) {
    QString text = Lang(languageNum, u"光标温度：", "Mouse Temp:");
    if (value)
        text += FormatFixed(*value, 1);
    return text;
}

QString MarkValueText(double value, bool absoluteTemp) {
    return FormatFixed(value, 1) + (absoluteTemp ? DegreeSign() : QString());
}

bool VddIsAbnormal(double vdd) {
    return !(std::fabs(vdd - 3.3) <= 0.1);
}

QString VddNoticeText(int32_t languageNum, double vdd) {
    QString text = Lang(languageNum, u"提示消息：", "Toast:");
    if (VddIsAbnormal(vdd))
        text += Lang(languageNum, u"传感器VDD异常", "Vdd abnormal");
    return text;
}
