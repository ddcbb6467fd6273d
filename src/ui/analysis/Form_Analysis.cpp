#include "ui/analysis/Form_Analysis.h"

#include "analysis/Histogram.h"
#include "pipeline/MLX90640.h"
#include "ui/analysis/Analysis.h"
#include "ui/analysis/AnalysisTexts.h"
#include "ui/support/TextCatalogue.h"

#include <QAction>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The table's numbers are renewed at most this often, the two charts once a second:
// a chart lays out every point of every series and its axis labels again at each
// redraw, which at 64 frames a second cost more than the regions themselves.
constexpr qint64 kTableRefreshMs = 250;
constexpr qint64 kChartRefreshMs = 1000;
// The most points a trend series draws (about one per two pixels of the plot);
// longer spans are thinned evenly.
constexpr size_t kMaxTrendPoints = 300;

enum TColumn { ColName, ColKind, ColMin, ColMax, ColAvg, ColSensorPixels, ColCount };

// A number as typed: the user's locale first, then with a dot.
bool ParseNumber(const QString &text, double &value) {
    bool ok = false;
    value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

// The smallest of 1, 2 and 5 times a power of ten that is not below `v` (v > 0).
double NiceCeiling(double v) {
    double step = std::pow(10.0, std::floor(std::log10(v)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * step >= v)
            return m * step;
    return 10.0 * step;
}

QString Fixed1(double v) {
    return QLocale().toString(v, 'f', 1);
}

QCheckBox *NewCheck(QWidget *parent, const char *name, const QString &text, bool checked) {
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

QLineEdit *NewEdit(QWidget *parent, const char *name, const QString &text) {
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(70);
    return edit;
}

QComboBox *NewCombo(QWidget *parent, const char *name, const QStringList &items) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

QChartView *NewChartView(QWidget *parent, const char *name, QChart *chart) {
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto *view = new QChartView(chart, parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setMinimumSize(420, 240);
    return view;
}

}  // namespace

TForm_Analysis::TForm_Analysis(TAnalysis &analysis, int32_t languageNum, QWidget *parent)
    : QWidget(parent, Qt::Window), fAnalysis(analysis), fLanguageNum(languageNum) {
    setObjectName(QStringLiteral("Form_Analysis"));
    setWindowTitle(Tr(TText::AnalysisTitle, languageNum));
    fChooseExportFile = [this] {
        return QFileDialog::getSaveFileName(this, Tr(TText::ExportTrend, fLanguageNum), QString(),
                                            QStringLiteral("CSV (*.csv)"));
    };
    BuildControls();
    connect(&fAnalysis, &TAnalysis::RegionsChanged, this, [this] {
        RebuildTable();
        RebuildReadoutLists();
        if (isVisible())
            Refresh();
    });
    connect(&fAnalysis, &TAnalysis::Measured, this, &TForm_Analysis::OnMeasured);
    connect(&fAnalysis, &TAnalysis::AlarmLogged, this, [this](const QString &entry) {
        lst_AlarmLog->addItem(entry);
        lst_AlarmLog->scrollToBottom();
    });
    for (const QString &entry : fAnalysis.AlarmLog())
        lst_AlarmLog->addItem(entry);
    RebuildTable();
    RebuildReadoutLists();
    fSinceTable.start();
    fSinceCharts.start();
}

TForm_Analysis::~TForm_Analysis() = default;

void TForm_Analysis::BuildControls() {
    const int32_t lang = fLanguageNum;
    auto *root = new QVBoxLayout(this);

    // Regions.
    lbl_RegionsHint = new QLabel(Tr(TText::RegionsHint, lang), this);
    lbl_RegionsHint->setObjectName(QStringLiteral("lbl_RegionsHint"));
    lbl_RegionsHint->setWordWrap(true);
    root->addWidget(lbl_RegionsHint);
    auto *regionRow = new QHBoxLayout;
    tbl_Regions = new QTableWidget(0, ColCount, this);
    tbl_Regions->setObjectName(QStringLiteral("tbl_Regions"));
    tbl_Regions->setHorizontalHeaderLabels({Tr(TText::ColumnName, lang), Tr(TText::ColumnKind, lang),
                                            Tr(TText::ColumnMin, lang), Tr(TText::ColumnMax, lang),
                                            Tr(TText::ColumnAvg, lang), Tr(TText::ColumnSensorPixels, lang)});
    tbl_Regions->verticalHeader()->setVisible(false);
    tbl_Regions->setSelectionBehavior(QAbstractItemView::SelectRows);
    tbl_Regions->setSelectionMode(QAbstractItemView::SingleSelection);
    tbl_Regions->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tbl_Regions->setMinimumHeight(150);
    regionRow->addWidget(tbl_Regions, 1);
    btn_RemoveRegion = new QPushButton(Tr(TText::RemoveRegion, lang), this);
    btn_RemoveRegion->setObjectName(QStringLiteral("btn_RemoveRegion"));
    regionRow->addWidget(btn_RemoveRegion, 0, Qt::AlignTop);
    root->addLayout(regionRow);

    // Trend.
    auto *trendRow = new QHBoxLayout;
    auto *trendCaption = new QLabel(Tr(TText::TrendCaption, lang), this);
    trendCaption->setObjectName(QStringLiteral("lbl_Trend"));
    trendRow->addWidget(trendCaption);
    chk_TrendMax = NewCheck(this, "chk_TrendMax", Tr(TText::TrendMax, lang), true);
    chk_TrendMin = NewCheck(this, "chk_TrendMin", Tr(TText::TrendMin, lang), true);
    chk_TrendAvg = NewCheck(this, "chk_TrendAvg", Tr(TText::TrendAvg, lang), true);
    cbb_TrendSpan =
        NewCombo(this, "cbb_TrendSpan",
                 {Tr(TText::Span10s, lang), Tr(TText::Span1min, lang), Tr(TText::Span10min, lang)});
    cbb_TrendRegionValue = NewCombo(this, "cbb_TrendRegionValue",
                                    {Tr(TText::RegionValueMax, lang), Tr(TText::RegionValueAvg, lang)});
    cbb_TrendRegionValue->setCurrentIndex(fAnalysis.RegionSeriesAverage() ? 1 : 0);
    btn_ExportTrend = new QPushButton(Tr(TText::ExportTrend, lang), this);
    btn_ExportTrend->setObjectName(QStringLiteral("btn_ExportTrend"));
    for (QWidget *w : std::initializer_list<QWidget *>{chk_TrendMax, chk_TrendMin, chk_TrendAvg,
                                                       cbb_TrendSpan, cbb_TrendRegionValue})
        trendRow->addWidget(w);
    trendRow->addStretch(1);
    trendRow->addWidget(btn_ExportTrend);
    root->addLayout(trendRow);

    auto *trend = new QChart;
    fTrendX = new QValueAxis;
    fTrendX->setTitleText(Tr(TText::TimeAxis, lang));
    fTrendX->setLabelFormat(QStringLiteral("%.0f"));
    fTrendY = new QValueAxis;
    fTrendY->setTitleText(Tr(TText::TempAxis, lang));
    trend->addAxis(fTrendX, Qt::AlignBottom);
    trend->addAxis(fTrendY, Qt::AlignLeft);
    for (int s = 0; s < TAnalysis::kSeriesCount; ++s) {
        auto *series = new QLineSeries;
        series->setName(fAnalysis.SeriesName(s));
        trend->addSeries(series);
        series->attachAxis(fTrendX);
        series->attachAxis(fTrendY);
        fTrendSeries.push_back(series);
    }
    chart_Trend = NewChartView(this, "chart_Trend", trend);
    root->addWidget(chart_Trend, 2);

    // Histogram, isotherm and alarm side by side.
    auto *lower = new QHBoxLayout;
    auto *histColumn = new QVBoxLayout;
    auto *histRow = new QHBoxLayout;
    auto *histCaption = new QLabel(Tr(TText::HistogramCaption, lang), this);
    histCaption->setObjectName(QStringLiteral("lbl_Histogram"));
    histRow->addWidget(histCaption);
    cbb_HistogramSource = NewCombo(this, "cbb_HistogramSource", {Tr(TText::HistogramFrame, lang)});
    histRow->addWidget(cbb_HistogramSource);
    histRow->addStretch(1);
    histColumn->addLayout(histRow);
    auto *hist = new QChart;
    hist->legend()->setVisible(false);
    fHistX = new QValueAxis;
    fHistX->setTitleText(Tr(TText::TempAxis, lang));
    fHistY = new QValueAxis;
    fHistY->setTitleText(Tr(TText::CountAxis, lang));
    fHistY->setLabelFormat(QStringLiteral("%.0f"));
    hist->addAxis(fHistX, Qt::AlignBottom);
    hist->addAxis(fHistY, Qt::AlignLeft);
    fHistUpper = new QLineSeries;
    fHistArea = new QAreaSeries(fHistUpper);
    fHistArea->setColor(QColor(70, 110, 200));
    fHistArea->setBorderColor(QColor(40, 70, 150));
    hist->addSeries(fHistArea);
    fHistArea->attachAxis(fHistX);
    fHistArea->attachAxis(fHistY);
    // The colour range of the picture, as two red lines.
    for (QLineSeries **line : {&fRangeLow, &fRangeHigh}) {
        *line = new QLineSeries;
        QPen pen(QColor(220, 0, 0));
        pen.setWidth(2);
        pen.setStyle(Qt::DashLine);
        (*line)->setPen(pen);
        hist->addSeries(*line);
        (*line)->attachAxis(fHistX);
        (*line)->attachAxis(fHistY);
    }
    chart_Histogram = NewChartView(this, "chart_Histogram", hist);
    histColumn->addWidget(chart_Histogram, 1);
    lower->addLayout(histColumn, 3);

    auto *settings = new QGridLayout;
    chk_Isotherm = NewCheck(this, "chk_Isotherm", Tr(TText::Isotherm, lang), fAnalysis.IsothermOn());
    edt_IsoLow = NewEdit(this, "edt_IsoLow", Fixed1(fAnalysis.IsoLow()));
    edt_IsoHigh = NewEdit(this, "edt_IsoHigh", Fixed1(fAnalysis.IsoHigh()));
    settings->addWidget(chk_Isotherm, 0, 0);
    settings->addWidget(edt_IsoLow, 0, 1);
    settings->addWidget(edt_IsoHigh, 0, 2);
    chk_Alarm = NewCheck(this, "chk_Alarm", Tr(TText::AlarmAbove, lang), fAnalysis.AlarmOn());
    edt_AlarmAbove = NewEdit(this, "edt_AlarmAbove", Fixed1(40.0));
    cbb_AlarmReadout = NewCombo(this, "cbb_AlarmReadout", {});
    settings->addWidget(chk_Alarm, 1, 0);
    settings->addWidget(edt_AlarmAbove, 1, 1);
    settings->addWidget(cbb_AlarmReadout, 1, 2);
    lbl_AlarmLog = new QLabel(Tr(TText::AlarmLogCaption, lang), this);
    lbl_AlarmLog->setObjectName(QStringLiteral("lbl_AlarmLog"));
    settings->addWidget(lbl_AlarmLog, 2, 0, 1, 3);
    lst_AlarmLog = new QListWidget(this);
    lst_AlarmLog->setObjectName(QStringLiteral("lst_AlarmLog"));
    settings->addWidget(lst_AlarmLog, 3, 0, 1, 3);
    settings->setRowStretch(3, 1);
    lower->addLayout(settings, 2);
    root->addLayout(lower, 2);

    // Handlers.
    connect(tbl_Regions, &QTableWidget::itemSelectionChanged, this, [this] {
        if (fRebuilding)
            return;
        const int row = tbl_Regions->currentRow();
        fAnalysis.Select(row >= 0 && row < int(fRowSlots.size()) ? fRowSlots[size_t(row)] : -1);
    });
    connect(tbl_Regions, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (fRebuilding || item->column() != ColName || item->row() >= int(fRowSlots.size()))
            return;
        const int slot = fRowSlots[size_t(item->row())];
        fAnalysis.SetRegionName(slot, item->text());
        if (isVisible())
            UpdateTrendChart();
    });
    // Delete in the table removes the selected region, as the button does.
    auto *removeKey = new QAction(tbl_Regions);
    removeKey->setShortcut(QKeySequence::Delete);
    removeKey->setShortcutContext(Qt::WidgetShortcut);
    tbl_Regions->addAction(removeKey);
    connect(removeKey, &QAction::triggered, btn_RemoveRegion, &QPushButton::click);
    connect(btn_RemoveRegion, &QPushButton::clicked, this, [this] {
        const int row = tbl_Regions->currentRow();
        if (row >= 0 && row < int(fRowSlots.size()))
            fAnalysis.RemoveRegion(fRowSlots[size_t(row)]);
    });
    for (QCheckBox *box : {chk_TrendMax, chk_TrendMin, chk_TrendAvg})
        connect(box, &QCheckBox::toggled, this, [this] { UpdateTrendChart(); });
    connect(cbb_TrendSpan, &QComboBox::currentIndexChanged, this, [this] { UpdateTrendChart(); });
    connect(cbb_TrendRegionValue, &QComboBox::currentIndexChanged, this, [this](int index) {
        fAnalysis.SetRegionSeriesAverage(index == 1);
        UpdateTrendChart();
    });
    connect(cbb_HistogramSource, &QComboBox::currentIndexChanged, this, [this] { UpdateHistogram(); });
    connect(btn_ExportTrend, &QPushButton::clicked, this, [this] {
        const QString file = fChooseExportFile ? fChooseExportFile() : QString();
        if (file.isEmpty())
            return;
        if (!ExportTrend(file))
            QMessageBox::warning(this, windowTitle(), Tr(TText::ExportFailed, fLanguageNum).arg(file));
    });
    connect(chk_Isotherm, &QCheckBox::toggled, this, [this] { ApplyIsotherm(); });
    connect(edt_IsoLow, &QLineEdit::textChanged, this, [this] { ApplyIsotherm(); });
    connect(edt_IsoHigh, &QLineEdit::textChanged, this, [this] { ApplyIsotherm(); });
    connect(chk_Alarm, &QCheckBox::toggled, this, [this] { ApplyAlarm(); });
    connect(edt_AlarmAbove, &QLineEdit::textChanged, this, [this] { ApplyAlarm(); });
    connect(cbb_AlarmReadout, &QComboBox::currentIndexChanged, this, [this] {
        if (!fRebuilding)
            ApplyAlarm();
    });
}

double TForm_Analysis::Span() const {
    const int i = std::clamp(cbb_TrendSpan->currentIndex(), 0, 2);
    return kTrendSpans[i];
}

void TForm_Analysis::RebuildTable() {
    fRebuilding = true;
    fRowSlots.clear();
    for (int slot = 0; slot < TAnalysis::kMaxRegions; ++slot)
        if (fAnalysis.HasRegion(slot))
            fRowSlots.push_back(slot);
    tbl_Regions->setRowCount(int(fRowSlots.size()));
    for (size_t row = 0; row < fRowSlots.size(); ++row) {
        const int slot = fRowSlots[row];
        // A row keeps its items while it shows the same region (a name being edited
        // stays open, the trend check box keeps its state); a new region gets new ones.
        QTableWidgetItem *name = tbl_Regions->item(int(row), ColName);
        if (!name || name->data(Qt::UserRole).toInt() != slot) {
            name = new QTableWidgetItem;
            name->setData(Qt::UserRole, slot);
            name->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable |
                           Qt::ItemIsUserCheckable);
            name->setCheckState(Qt::Checked);
            tbl_Regions->setItem(int(row), ColName, name);
            for (int c = ColKind; c < ColCount; ++c) {
                auto *cell = new QTableWidgetItem;
                cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
                tbl_Regions->setItem(int(row), c, cell);
            }
        }
        if (name->text() != fAnalysis.RegionName(slot))
            name->setText(fAnalysis.RegionName(slot));
        tbl_Regions->item(int(row), ColKind)
            ->setText(RegionKindText(fAnalysis.Region(slot)->Kind, fLanguageNum));
    }
    const auto selected = std::find(fRowSlots.begin(), fRowSlots.end(), fAnalysis.Selected());
    if (selected == fRowSlots.end())
        tbl_Regions->clearSelection();
    else if (tbl_Regions->currentRow() != int(selected - fRowSlots.begin()))
        tbl_Regions->selectRow(int(selected - fRowSlots.begin()));
    fRebuilding = false;
    UpdateTable();
}

void TForm_Analysis::UpdateTable() {
    fRebuilding = true;
    for (size_t row = 0; row < fRowSlots.size(); ++row) {
        const TRegionStats &s = fAnalysis.Stats(fRowSlots[row]);
        const auto set = [&](int column, const QString &text) {
            QTableWidgetItem *cell = tbl_Regions->item(int(row), column);
            if (cell && cell->text() != text)
                cell->setText(text);
        };
        set(ColMin, s.Valid ? Fixed1(s.Min) : QString());
        set(ColMax, s.Valid ? Fixed1(s.Max) : QString());
        set(ColAvg, s.Valid ? Fixed1(s.Average) : QString());
        set(ColSensorPixels, QString::number(s.SensorPixels()));
    }
    fRebuilding = false;
}

void TForm_Analysis::RebuildReadoutLists() {
    fRebuilding = true;
    const int alarmSlot = fAnalysis.AlarmReadout();
    cbb_AlarmReadout->clear();
    cbb_AlarmReadout->addItem(fAnalysis.ReadoutName(TAnalysis::kAlarmFrameMax), TAnalysis::kAlarmFrameMax);
    const QVariant histSlot = cbb_HistogramSource->currentData();
    cbb_HistogramSource->clear();
    cbb_HistogramSource->addItem(Tr(TText::HistogramFrame, fLanguageNum), -1);
    for (int slot : fRowSlots) {
        cbb_AlarmReadout->addItem(fAnalysis.ReadoutName(slot), slot);
        cbb_HistogramSource->addItem(fAnalysis.RegionName(slot), slot);
    }
    cbb_AlarmReadout->setCurrentIndex(std::max(0, cbb_AlarmReadout->findData(alarmSlot)));
    cbb_HistogramSource->setCurrentIndex(std::max(0, cbb_HistogramSource->findData(histSlot)));
    fRebuilding = false;
}

void TForm_Analysis::ApplyIsotherm() {
    double low = 0, high = 0;
    const bool ok = ParseNumber(edt_IsoLow->text(), low) && ParseNumber(edt_IsoHigh->text(), high);
    // A band that cannot be read shows nothing rather than an old band.
    fAnalysis.SetIsotherm(chk_Isotherm->isChecked() && ok, ok ? low : fAnalysis.IsoLow(),
                          ok ? high : fAnalysis.IsoHigh());
}

void TForm_Analysis::ApplyAlarm() {
    double threshold = 0;
    const bool ok = ParseNumber(edt_AlarmAbove->text(), threshold);
    const int readout = cbb_AlarmReadout->currentData().isValid() ? cbb_AlarmReadout->currentData().toInt()
                                                                  : TAnalysis::kAlarmFrameMax;
    fAnalysis.SetAlarm(chk_Alarm->isChecked() && ok, ok ? threshold : fAnalysis.AlarmThreshold(), readout);
}

bool TForm_Analysis::ExportTrend(const QString &fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const std::string csv = fAnalysis.TrendCsv(Span());
    const bool ok = file.write(csv.data(), qint64(csv.size())) == qint64(csv.size());
    file.close();
    if (!ok)
        file.remove();
    return ok;
}

void TForm_Analysis::OnMeasured() {
    if (!isVisible())
        return;
    if (fSinceCharts.elapsed() >= kChartRefreshMs) {
        Refresh();
    } else if (fSinceTable.elapsed() >= kTableRefreshMs) {
        fSinceTable.restart();
        UpdateTable();
    }
}

void TForm_Analysis::Refresh() {
    fSinceTable.restart();
    fSinceCharts.restart();
    UpdateTable();
    UpdateTrendChart();
    UpdateHistogram();
}

void TForm_Analysis::UpdateTrendChart() {
    const TTrendBuffer &trend = fAnalysis.Trend();
    const size_t first = trend.FirstWithin(Span());
    const size_t n = trend.Size() - first;
    const size_t stride = std::max<size_t>(1, (n + kMaxTrendPoints - 1) / kMaxTrendPoints);
    double lo = INFINITY, hi = -INFINITY;
    std::vector<QList<QPointF>> points(size_t(TAnalysis::kSeriesCount));
    for (int s = 0; s < TAnalysis::kSeriesCount; ++s) {
        bool shown = false;
        if (s == TAnalysis::SeriesFrameMax)
            shown = chk_TrendMax->isChecked();
        else if (s == TAnalysis::SeriesFrameMin)
            shown = chk_TrendMin->isChecked();
        else if (s == TAnalysis::SeriesFrameAvg)
            shown = chk_TrendAvg->isChecked();
        else {
            const int slot = s - TAnalysis::SeriesRegion0;
            const auto row = std::find(fRowSlots.begin(), fRowSlots.end(), slot);
            shown = row != fRowSlots.end() &&
                    tbl_Regions->item(int(row - fRowSlots.begin()), ColName)->checkState() == Qt::Checked;
        }
        if (!shown)
            continue;
        QList<QPointF> &line = points[size_t(s)];
        line.reserve(qsizetype(n / stride + 2));
        for (size_t i = first; i < trend.Size(); i += stride) {
            const double v = trend.Value(i, size_t(s));
            if (std::isnan(v))
                continue;
            line.append(QPointF(trend.Time(i), v));
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    // A series lays out all its points again when its points change and again when
    // an axis moves: emptied first, the series are laid out once, after the axes.
    for (QLineSeries *series : fTrendSeries)
        if (series->count() > 0)
            series->clear();
    const double end = trend.Size() ? trend.Time(trend.Size() - 1) : Span();
    fTrendX->setRange(std::max(0.0, end - Span()), std::max(end, Span()));
    if (std::isfinite(lo) && std::isfinite(hi))
        fTrendY->setRange(std::floor(lo - 1.0), std::ceil(hi + 1.0));
    for (int s = 0; s < TAnalysis::kSeriesCount; ++s) {
        QLineSeries *series = fTrendSeries[size_t(s)];
        // The legend is laid out again on every change of a name or a visibility.
        const QString name = fAnalysis.SeriesName(s);
        if (series->name() != name)
            series->setName(name);
        const bool visible = !points[size_t(s)].isEmpty();
        if (visible)
            series->replace(points[size_t(s)]);
        if (series->isVisible() != visible)
            series->setVisible(visible);
    }
}

void TForm_Analysis::UpdateHistogram() {
    const std::shared_ptr<const TMLX90640Published> frame = fShownFrame ? fShownFrame() : nullptr;
    if (!frame)
        return;
    const int slot =
        cbb_HistogramSource->currentData().isValid() ? cbb_HistogramSource->currentData().toInt() : -1;
    std::vector<double> values;
    if (fAnalysis.HasRegion(slot)) {
        const TPictureValues &pic = frame->Picture;
        if (pic.Temps.size() >= size_t(pic.Width) * size_t(pic.Height))
            ForEachRegionPixel(*fAnalysis.Region(slot), pic.Width, pic.Height,
                               [&](int x, int y) { values.push_back(pic.Temperature(x, y)); });
    } else {
        values.reserve(768);
        for (const auto &column : frame->Pixs_Origin)
            for (const TPixel &px : column)
                values.push_back(px.Temperature);
    }
    const THistogram h = MakeHistogram(values);
    QList<QPointF> steps;
    int top = 1;
    for (size_t k = 0; k < h.Counts.size(); ++k) {
        const double left = h.FirstBin + double(k);
        steps.append(QPointF(left, h.Counts[k]));
        steps.append(QPointF(left + 1.0, h.Counts[k]));
        top = std::max(top, h.Counts[k]);
    }
    fHistUpper->replace(steps);
    const double lower = frame->Temperature_LowerLimit, upper = frame->Temperature_UpperLimit;
    fRangeLow->replace({QPointF(lower, 0), QPointF(lower, top)});
    fRangeHigh->replace({QPointF(upper, 0), QPointF(upper, top)});
    double x0 = std::min(lower, double(h.FirstBin));
    double x1 = std::max(upper, double(h.FirstBin + int(h.Counts.size())));
    if (!std::isfinite(x0) || !std::isfinite(x1) || x1 <= x0) {
        x0 = 0;
        x1 = 1;
    }
    fHistX->setRange(std::floor(x0) - 1.0, std::ceil(x1) + 1.0);
    // The count axis moves in steps of 1, 2 and 5 times a power of ten, so that its
    // labels are not laid out again at every redraw for a count that moved by one.
    fHistY->setRange(0, NiceCeiling(top * 1.1));
}
