#include "analysis/Alarm.h"

#include <cmath>

void TAlarm::SetThreshold(double threshold) {
    if (threshold != fThreshold)
        fAbove = false;
    fThreshold = threshold;
}

std::optional<TAlarmEvent> TAlarm::Update(double time, double value, const std::string &readout) {
    if (std::isnan(value))
        return std::nullopt;
    const bool above = value > fThreshold;
    const bool fires = above && !fAbove;
    fAbove = above;
    if (!fires)
        return std::nullopt;
    return TAlarmEvent{time, readout, value};
}
