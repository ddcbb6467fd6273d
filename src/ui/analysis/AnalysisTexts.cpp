#include "ui/analysis/AnalysisTexts.h"

#include "ui/analysis/Analysis.h"
#include "ui/support/TextCatalogue.h"

#include <QLocale>

QString RegionKindText(TRegionKind kind, int32_t languageNum) {
    switch (kind) {
    case RK_Box: return Tr(TText::RegionBox, languageNum);
    case RK_Line: return Tr(TText::RegionLine, languageNum);
    case RK_Spot: return Tr(TText::RegionSpot, languageNum);
    }
    return {};
}

QString AlarmNoticeText(const TAnalysis &analysis, int32_t languageNum) {
    const QLocale locale;
    return Tr(TText::AlarmNotice, languageNum)
        .arg(analysis.ReadoutName(analysis.AlarmReadout()), locale.toString(analysis.AlarmValue(), 'f', 1),
             locale.toString(analysis.AlarmThreshold(), 'f', 1));
}
