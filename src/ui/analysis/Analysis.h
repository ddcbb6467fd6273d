#pragma once
// What the window measures in the picture: up to eight regions with their
// statistics, the trend of the frame's and the regions' readings, the isotherm band
// and the alarm. The window hands it each frame it shows (FrameShown, once per
// shown frame); everything is read in place from the frame's picture temperatures.

#include "analysis/Alarm.h"
#include "analysis/Region.h"
#include "analysis/RegionStats.h"
#include "analysis/Trend.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TMLX90640Published;

class TAnalysis : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRegions = 8;
    // Trend series: the frame's maximum, minimum and average, then one per region slot.
    enum : int { SeriesFrameMax = 0, SeriesFrameMin = 1, SeriesFrameAvg = 2, SeriesRegion0 = 3 };
    static constexpr int kSeriesCount = SeriesRegion0 + kMaxRegions;
    // Room for ten minutes at 64 frames a second and some to spare.
    static constexpr size_t kTrendCapacity = 40000;
    // The alarm's readout: the frame's maximum, or a region slot's maximum (0 .. 7).
    static constexpr int kAlarmFrameMax = -1;

    explicit TAnalysis(QObject *parent = nullptr);

    void SetLanguageNum(int32_t languageNum) { fLanguageNum = languageNum; }

    // ---- Regions (slots 0 .. 7, shown with the numbers 1 .. 8)
    // Adds a region in the first free slot and selects it; -1 when all eight exist.
    int AddRegion(TRegionKind kind, TRegionPoint a, TRegionPoint b);
    bool RemoveRegion(int slot);
    const std::optional<TRegion> &Region(int slot) const { return fRegions[size_t(slot)]; }
    bool HasRegion(int slot) const { return slot >= 0 && slot < kMaxRegions && fRegions[size_t(slot)]; }
    int RegionCount() const;
    void SetRegionName(int slot, const QString &name);
    QString RegionName(int slot) const;
    int Selected() const { return fSelected; }
    void Select(int slot);  // -1: none
    // The region under picture pixel `p` (the highest number first); -1 for none.
    int RegionAt(TRegionPoint p) const;
    // The statistics of the last frame shown (invalid before one, or for an empty slot).
    const TRegionStats &Stats(int slot) const { return fStats[size_t(slot)]; }

    // ---- Per shown frame: statistics, trend, alarm.
    void FrameShown(const TMLX90640Published &frame, double seconds);
    // The regions' statistics from `frame` alone (after a region changed), without a
    // trend sample or an alarm reading.
    void MeasureRegions(const TMLX90640Published &frame);

    // ---- Trend
    const TTrendBuffer &Trend() const { return fTrend; }
    // Region series follow each region's average instead of its maximum.
    void SetRegionSeriesAverage(bool average);
    bool RegionSeriesAverage() const { return fRegionAverage; }
    QString SeriesName(int series) const;
    // The series that hold data now: the frame's three and those of existing regions.
    std::vector<int> LiveSeries() const;
    // The trend's last `span` seconds as CSV (see WriteTrendCsv) of the live series.
    std::string TrendCsv(double span) const;

    // ---- Isotherm
    void SetIsotherm(bool on, double low, double high);
    bool IsothermOn() const { return fIsoOn; }
    double IsoLow() const { return fIsoLow; }
    double IsoHigh() const { return fIsoHigh; }

    // ---- Alarm
    void SetAlarm(bool on, double threshold, int readout);
    bool AlarmOn() const { return fAlarmOn; }
    int AlarmReadout() const { return fAlarmReadout; }
    double AlarmThreshold() const { return fAlarm.Threshold(); }
    // On, and the last reading was above the threshold.
    bool AlarmActive() const { return fAlarmOn && fAlarm.Above(); }
    double AlarmValue() const { return fAlarmValue; }
    QString ReadoutName(int readout) const;
    const QStringList &AlarmLog() const { return fAlarmLog; }

signals:
    void RegionsChanged();
    void Measured();
    void AlarmLogged(const QString &entry);

private:
    int32_t fLanguageNum = 1;
    std::array<std::optional<TRegion>, kMaxRegions> fRegions;
    std::array<TRegionStats, kMaxRegions> fStats;
    int fSelected = -1;
    TTrendBuffer fTrend{kTrendCapacity, kSeriesCount};
    bool fRegionAverage = false;
    bool fIsoOn = false;
    double fIsoLow = 30.0, fIsoHigh = 40.0;
    bool fAlarmOn = false;
    int fAlarmReadout = kAlarmFrameMax;
    TAlarm fAlarm;
    double fAlarmValue = 0.0;
    QStringList fAlarmLog;
};
