#include "ui/liveview/LiveViewTexts.h"

#include "ui/support/Convert.h"
#include "ui/support/TextCatalogue.h"

#include <cmath>

QString DegreeSign() {
    return QString(QChar(0x2103));  // ℃
}

TLiveReadouts LiveReadouts(const TLiveValues &v, int32_t languageNum, bool absoluteTemp) {
    const QString unit = absoluteTemp ? DegreeSign() : QString();
    TLiveReadouts r;
    r.Vdd = Tr(TText::Vdd, languageNum) + FormatFixed(v.Vdd, 2) + QLatin1Char('V');
    r.Ta = Tr(TText::Ta, languageNum) + FormatFixed(v.Ta, 1) + DegreeSign();
    r.CenterTemp = Tr(TText::CenterTemp, languageNum) + FormatFixed(v.Centre, 1) + unit;
    r.MaxTemp = Tr(TText::MaxTemp, languageNum) + FormatFixed(v.Max, 1) + unit;
    r.MinTemp = Tr(TText::MinTemp, languageNum) + FormatFixed(v.Min, 1) + unit;
    r.AvgTemp = Tr(TText::AvgTemp, languageNum) + FormatFixed(v.Avg, 1) + unit;
    return r;
}

QString MouseTempText(int32_t languageNum, std::optional<double> value) {
    QString text = Tr(TText::MouseTemp, languageNum);
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
    QString text = Tr(TText::Notice, languageNum);
    if (VddIsAbnormal(vdd))
        text += Tr(TText::VddAbnormal, languageNum);
    return text;
}
