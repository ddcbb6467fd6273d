#pragma once
// Texts of the analysis: region kinds and the alarm notice of status panel 6.

#include "analysis/Region.h"

#include <QString>

#include <cstdint>

class TAnalysis;

QString RegionKindText(TRegionKind kind, int32_t languageNum);
// "Toast:Alarm <readout> <value> above <threshold>", values as "0.0".
QString AlarmNoticeText(const TAnalysis &analysis, int32_t languageNum);
