#pragma once
// The analysis window Form_Analysis: the regions' table, the trend and histogram
// charts, the isotherm and alarm settings, the alarm log and the trend export. A
// non-modal window of the main window; closing it only hides it. It reads the
// analysis after each measured frame and redraws its table and charts at most four
// times a second, and only while it is shown.

#include <QElapsedTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class TAnalysis;
struct TMLX90640Published;

class QChart;
class QChartView;
class QLineSeries;
class QAreaSeries;
class QValueAxis;

class TForm_Analysis : public QWidget {
    Q_OBJECT
public:
    TForm_Analysis(TAnalysis &analysis, int32_t languageNum, QWidget *parent = nullptr);
    ~TForm_Analysis() override;

    // Where the histogram finds the frame on screen.
    void SetShownFrameSource(std::function<std::shared_ptr<const TMLX90640Published>()> source) {
        fShownFrame = std::move(source);
    }
    // Where the export writes: asks the user by default; tests give a path.
    void SetExportFileChooser(std::function<QString()> chooser) { fChooseExportFile = std::move(chooser); }
    // Writes the trend of the chosen span as CSV; false when the file cannot be written.
    bool ExportTrend(const QString &fileName);
    // The table and the charts from the analysis as it is now.
    void Refresh();

private:
    void BuildControls();
    void RebuildTable();
    void UpdateTable();
    void UpdateTrendChart();
    void UpdateHistogram();
    void RebuildReadoutLists();
    void ApplyIsotherm();
    void ApplyAlarm();
    void OnMeasured();
    double Span() const;

    TAnalysis &fAnalysis;
    int32_t fLanguageNum;
    std::function<std::shared_ptr<const TMLX90640Published>()> fShownFrame;
    std::function<QString()> fChooseExportFile;
    QElapsedTimer fSinceTable;
    QElapsedTimer fSinceCharts;
    bool fRebuilding = false;
    std::vector<int> fRowSlots;  // region slot of each table row

    QLabel *lbl_RegionsHint = nullptr;
    QTableWidget *tbl_Regions = nullptr;
    QPushButton *btn_RemoveRegion = nullptr;
    QCheckBox *chk_TrendMax = nullptr;
    QCheckBox *chk_TrendMin = nullptr;
    QCheckBox *chk_TrendAvg = nullptr;
    QComboBox *cbb_TrendSpan = nullptr;
    QComboBox *cbb_TrendRegionValue = nullptr;
    QPushButton *btn_ExportTrend = nullptr;
    QChartView *chart_Trend = nullptr;
    std::vector<QLineSeries *> fTrendSeries;
    QValueAxis *fTrendX = nullptr;
    QValueAxis *fTrendY = nullptr;
    QComboBox *cbb_HistogramSource = nullptr;
    QChartView *chart_Histogram = nullptr;
    QLineSeries *fHistUpper = nullptr;
    QAreaSeries *fHistArea = nullptr;
    QLineSeries *fRangeLow = nullptr;
    QLineSeries *fRangeHigh = nullptr;
    QValueAxis *fHistX = nullptr;
    QValueAxis *fHistY = nullptr;
    QCheckBox *chk_Isotherm = nullptr;
    QLineEdit *edt_IsoLow = nullptr;
    QLineEdit *edt_IsoHigh = nullptr;
    QCheckBox *chk_Alarm = nullptr;
    QLineEdit *edt_AlarmAbove = nullptr;
    QComboBox *cbb_AlarmReadout = nullptr;
    QLabel *lbl_AlarmLog = nullptr;
    QListWidget *lst_AlarmLog = nullptr;
};
