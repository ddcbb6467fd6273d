#include "ui/analysis/Analysis.h"

#include "pipeline/MLX90640.h"
#include "ui/support/TextCatalogue.h"

#include <QLocale>
#include <QTime>

#include <cmath>
#include <limits>
#include <sstream>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

double DistanceToSegment(TRegionPoint p, TRegionPoint a, TRegionPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

TAnalysis::TAnalysis(QObject *parent) : QObject(parent) {}

int TAnalysis::AddRegion(TRegionKind kind, TRegionPoint a, TRegionPoint b) {
    for (int slot = 0; slot < kMaxRegions; ++slot) {
        if (fRegions[size_t(slot)])
            continue;
        TRegion r;
        r.Kind = kind;
        r.A = a;
        r.B = kind == RK_Spot ? a : b;
        r.Name = Tr(TText::RegionName, fLanguageNum).arg(slot + 1).toStdString();
        fRegions[size_t(slot)] = r;
        fStats[size_t(slot)] = {};
        // The slot's trend belonged to an earlier region.
        fTrend.ClearSeries(size_t(SeriesRegion0 + slot));
        fSelected = slot;
        emit RegionsChanged();
        return slot;
    }
    return -1;
}

bool TAnalysis::RemoveRegion(int slot) {
    if (!HasRegion(slot))
        return false;
    fRegions[size_t(slot)].reset();
    fStats[size_t(slot)] = {};
    if (fSelected == slot)
        fSelected = -1;
    if (fAlarmReadout == slot) {
        // The alarm watched this region: it watches the frame's maximum again.
        fAlarmReadout = kAlarmFrameMax;
        fAlarm.Reset();
    }
    emit RegionsChanged();
    return true;
}

int TAnalysis::RegionCount() const {
    int n = 0;
    for (const auto &r : fRegions)
        n += r ? 1 : 0;
    return n;
}

void TAnalysis::SetRegionName(int slot, const QString &name) {
    if (!HasRegion(slot) || RegionName(slot) == name)
        return;
    fRegions[size_t(slot)]->Name = name.toStdString();
    emit RegionsChanged();
}

QString TAnalysis::RegionName(int slot) const {
    return HasRegion(slot) ? QString::fromStdString(fRegions[size_t(slot)]->Name) : QString();
}

void TAnalysis::Select(int slot) {
    const int s = HasRegion(slot) ? slot : -1;
    if (s == fSelected)
        return;
    fSelected = s;
    emit RegionsChanged();
}

int TAnalysis::RegionAt(TRegionPoint p) const {
    constexpr double kReach = 4.0;  // how near a line or spot a click must be
    for (int slot = kMaxRegions - 1; slot >= 0; --slot) {
        if (!fRegions[size_t(slot)])
            continue;
        const TRegion &r = *fRegions[size_t(slot)];
        bool hit = false;
        switch (r.Kind) {
        case RK_Box:
            hit = p.x >= std::min(r.A.x, r.B.x) && p.x <= std::max(r.A.x, r.B.x) &&
                  p.y >= std::min(r.A.y, r.B.y) && p.y <= std::max(r.A.y, r.B.y);
            break;
        case RK_Line: hit = DistanceToSegment(p, r.A, r.B) <= kReach; break;
        case RK_Spot: hit = std::hypot(p.x - r.A.x, p.y - r.A.y) <= kReach + 2; break;
        }
        if (hit)
            return slot;
    }
    return -1;
}

void TAnalysis::MeasureRegions(const TMLX90640Published &frame) {
    for (int slot = 0; slot < kMaxRegions; ++slot)
        if (fRegions[size_t(slot)])
            fStats[size_t(slot)] = RegionStatistics(frame.Picture, *fRegions[size_t(slot)], frame.Mirror_LR);
}

void TAnalysis::FrameShown(const TMLX90640Published &frame, double seconds) {
    MeasureRegions(frame);
    std::vector<double> sample(kSeriesCount, kNaN);
    sample[SeriesFrameMax] = frame.MaxPix.Temperature;
    sample[SeriesFrameMin] = frame.MinPix.Temperature;
    sample[SeriesFrameAvg] = frame.TemperatureAvg;
    for (int slot = 0; slot < kMaxRegions; ++slot) {
        const TRegionStats &s = fStats[size_t(slot)];
        if (fRegions[size_t(slot)] && s.Valid)
            sample[size_t(SeriesRegion0 + slot)] = fRegionAverage ? s.Average : s.Max;
    }
    fTrend.Add(seconds, sample);

    if (fAlarmOn) {
        const bool frameMax = fAlarmReadout == kAlarmFrameMax;
        const double value = frameMax                              ? frame.MaxPix.Temperature
                             : fStats[size_t(fAlarmReadout)].Valid ? fStats[size_t(fAlarmReadout)].Max
                                                                   : kNaN;
        if (!std::isnan(value))
            fAlarmValue = value;
        // The readout's name is made only when the alarm fires.
        if (auto event = fAlarm.Update(seconds, value, std::string())) {
            const QString entry =
                QStringLiteral("%1  %2  %3")
                    .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")),
                         ReadoutName(fAlarmReadout), QLocale().toString(event->Value, 'f', 1));
            fAlarmLog << entry;
            emit AlarmLogged(entry);
        }
    }
    emit Measured();
}

void TAnalysis::SetRegionSeriesAverage(bool average) {
    if (average == fRegionAverage)
        return;
    fRegionAverage = average;
    // The stored values are of the other kind now.
    for (int slot = 0; slot < kMaxRegions; ++slot)
        fTrend.ClearSeries(size_t(SeriesRegion0 + slot));
}

QString TAnalysis::SeriesName(int series) const {
    switch (series) {
    case SeriesFrameMax: return Tr(TText::SeriesFrameMax, fLanguageNum);
    case SeriesFrameMin: return Tr(TText::SeriesFrameMin, fLanguageNum);
    case SeriesFrameAvg: return Tr(TText::SeriesFrameAvg, fLanguageNum);
    default:
        return Tr(fRegionAverage ? TText::SeriesRegionAvg : TText::SeriesRegionMax, fLanguageNum)
            .arg(RegionName(series - SeriesRegion0));
    }
}

std::vector<int> TAnalysis::LiveSeries() const {
    std::vector<int> series{SeriesFrameMax, SeriesFrameMin, SeriesFrameAvg};
    for (int slot = 0; slot < kMaxRegions; ++slot)
        if (fRegions[size_t(slot)])
            series.push_back(SeriesRegion0 + slot);
    return series;
}

std::string TAnalysis::TrendCsv(double span) const {
    std::vector<size_t> columns;
    std::vector<std::string> names;
    for (int s : LiveSeries()) {
        columns.push_back(size_t(s));
        names.push_back(SeriesName(s).toStdString());
    }
    std::ostringstream out;
    WriteTrendCsv(out, fTrend, fTrend.FirstWithin(span), columns, names);
    return out.str();
}

void TAnalysis::SetIsotherm(bool on, double low, double high) {
    if (on == fIsoOn && low == fIsoLow && high == fIsoHigh)
        return;
    fIsoOn = on;
    fIsoLow = low;
    fIsoHigh = high;
    emit RegionsChanged();
}

void TAnalysis::SetAlarm(bool on, double threshold, int readout) {
    if (!HasRegion(readout))
        readout = kAlarmFrameMax;
    if (on != fAlarmOn || readout != fAlarmReadout)
        fAlarm.Reset();
    fAlarmOn = on;
    fAlarmReadout = readout;
    fAlarm.SetThreshold(threshold);
}

QString TAnalysis::ReadoutName(int readout) const {
    return readout == kAlarmFrameMax ? Tr(TText::SeriesFrameMax, fLanguageNum)
                                     : Tr(TText::SeriesRegionMax, fLanguageNum).arg(RegionName(readout));
}
