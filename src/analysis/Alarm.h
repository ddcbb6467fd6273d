#pragma once
// The alarm: fires when a watched readout goes above a threshold, once per crossing.

#include <optional>
#include <string>

struct TAlarmEvent {
    double Time = 0.0;    // seconds, as given
    std::string Readout;  // what was watched
    double Value = 0.0;   // the reading that crossed
};

class TAlarm {
public:
    void SetThreshold(double threshold);
    double Threshold() const { return fThreshold; }
    // Takes one reading. Fires (returns the event) when the reading is above the
    // threshold and the previous one was not (equal counts as not above); the first
    // reading counts as coming from below. A reading that is not a number changes
    // nothing. Above() is whether the last reading was above.
    std::optional<TAlarmEvent> Update(double time, double value, const std::string &readout);
    bool Above() const { return fAbove; }
    // Back to below: the next reading above fires again.
    void Reset() { fAbove = false; }

private:
    double fThreshold = 0.0;
    bool fAbove = false;
};
