// The live view: the refresh tick that shows each new picture with the data grid,
// the colour legend, the readouts and the target markers, copies the status texts
// prepared off the UI thread, and enables the module's controls once the module
// has sent its parameters and its calibration.

#include "pipeline/MLX90640.h"
#include "pipeline/SysFun.h"
#include "ui/analysis/Analysis.h"
#include "ui/analysis/AnalysisPaint.h"
#include "ui/analysis/AnalysisTexts.h"
#include "ui/device/ModuleSession.h"
#include "ui/liveview/LiveViewTexts.h"
#include "ui/liveview/LiveViewThread.h"
#include "ui/liveview/TargetMarks.h"
#include "ui/liveview/TargetMarksPaint.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/StatusTexts.h"
#include "ui/support/TextCatalogue.h"
#include "ui/widgets/CursorTracker.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StatusPanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <initializer_list>
#include <optional>

namespace {

// The object's current results, for a readout before any picture was published.
std::shared_ptr<const TMLX90640Published> StateOfObject(const TMLX90640 &mlx) {
    auto state = std::make_shared<TMLX90640Published>();
    state->Pixs_Origin = mlx.GetPixs_Origin();
    state->Pixs_Interpolation = mlx.GetPixs_Interpolation();
    state->MinPix = mlx.GetMinPix();
    state->MaxPix = mlx.GetMaxPix();
    state->TemperatureAvg = mlx.GetTemperatureAvg();
    state->Vdd = mlx.GetVdd();
    state->Ta = mlx.GetTa();
    return state;
}

// The pixel read as the centre, [15][12]; a blank pixel if the grid is smaller.
TPixel CentrePixel(const TPixels &pixs) {
    if (pixs.size() > 15 && pixs[15].size() > 12)
        return pixs[15][12];
    return {};
}

// The coldest and hottest pixel and the mean of a 32 x 24 grid.
void GridStatistics(const TPixels &pixs, TPixel &minPix, TPixel &maxPix, double &average) {
    double sum = 0.0;
    int count = 0;
    bool first = true;
    for (size_t x = 0; x < pixs.size() && x < 32; ++x)
        for (size_t y = 0; y < pixs[x].size() && y < 24; ++y) {
            const TPixel &p = pixs[x][y];
            if (first || p.Temperature < minPix.Temperature)
                minPix = p;
            if (first || p.Temperature > maxPix.Temperature)
                maxPix = p;
            first = false;
            sum += p.Temperature;
            ++count;
        }
    if (count > 0)
        average = sum / count;
}

bool IsDisabled(const QWidget *w) {
    return w->testAttribute(Qt::WA_Disabled);
}

}  // namespace

void TForm_Main::Timer1Timer(QObject *) {
    fSession.Intake().DispatchPending();
    const bool ready = chk_DouFrameUpdate->isChecked()
                           ? fImage.GetFrame0Finished() && fImage.GetFrame1Finished()
                           : fImage.GetHaveNewDatas();
    if (ready) {
        UpdatePicture(true);
        ShowModuleLabels(fSession.Intake().Status());
    }

    // The news flag goes down before the status is read: a change meanwhile raises it
    // again and is shown at the next tick.
    if (fSession.Intake().TakeReceiveNews())
        ShowReceiveStatus();

    // A recording that plays has no module to command: its calibration and parameters
    // switch on nothing.
    if (fSession.PlaybackOpen())
        return;

    if (fSession.ParametersReceived() && IsDisabled(cbb_ADCResolution)) {
        for (QWidget *w : DeviceParameterControls())
            w->setEnabled(true);
    }

    if (fSession.CalibrationReceived() && IsDisabled(btn_SaveOnePhoto)) {
        for (QWidget *w : PhotoControls())
            w->setEnabled(true);
        // The browsing buttons follow the photo number box: with no photo saved, or
        // at either end of the saved photos, the box switches them off again.
        edt_CurrentPhotoNumChange(edt_CurrentPhotoNum);
    }
}

void TForm_Main::ShowReceiveStatus() {
    const TLinkStatus status = fSession.Intake().Status();
    StatusBar1->SetPanelText(2, RecvCounterText(fSession.Intake().ReceiveCounters(), LanguageNum));
    StatusBar1->SetPanelText(3, FrameTypeText(status));
    StatusBar1->SetPanelText(4, DataCheckText(status, LanguageNum));
}

void TForm_Main::ShowModuleLabels(const TLinkStatus &status) {
    // The battery, clock and photo count of the last block the module reported, and
    // the date of the last photo it sent; empty while the module has reported none.
    const auto &b = status.Block;
    lbl_Cell->setText(b ? CellVoltageText(b->CellMillivolts, status.BlockSource, LanguageNum) : QString());
    lbl_RTC->setText(b ? RtcText(*b) : QString());
    const QString photos = b ? QString::number(b->SavedPhotoNum) : QString();
    if (lbl_SavedPhotoNum->text() != photos) {
        lbl_SavedPhotoNum->setText(photos);
        SavedPhotoNumShown();
    }
    const auto &stamp = status.PhotoStamp;
    lbl_CurrentPhotoDate->setText(stamp ? PhotoDateText(*stamp) : QString());
    lbl_CurrentPhotoTime->setText(stamp ? PhotoTimeText(*stamp) : QString());
}

std::vector<QWidget *> TForm_Main::DeviceParameterControls() const {
    return {cbb_ADCResolution, cbb_RefreshRate, cbb_ArrangeMode, chk_AutoSend,
            cbb_OutPortNum,    cbb_OutBaud,     chk_LedEN,       chk_FrmHalf};
}

std::vector<QWidget *> TForm_Main::PhotoControls() const {
    return {btn_SaveOnePhoto,  btn_ReadLastPhoto, edt_CurrentPhotoNum, btn_ReadOnePhoto, btn_ReadPrivPhoto,
            btn_ReadNextPhoto, btn_ClearAllPhoto, btn_Reboot,          btn_SetParsDef,   btn_SetDT};
}

void TForm_Main::UpdatePicture(bool withEffects) {
    TMLX90640 *mlx = &fImage;
    // The flags go down before the picture is taken: a frame published from here on
    // raises them again and is shown by the next refresh instead of being skipped.
    mlx->SetHaveNewDatas(false);
    mlx->SetFrame0Finished(false);
    mlx->SetFrame1Finished(false);

    if (std::shared_ptr<const TMLX90640Published> frame = mlx->GetPublished()) {
        fShownFrame = frame;
        // Regions, trend and alarm: measured once for each frame shown.
        fAnalysis->FrameShown(*frame, AnalysisSeconds());
        ShowFramePicture(*frame, withEffects);
    }

    DatasUpdateToGrid();
    DrawColorLegend();
    UpdateTargetImg();
    ++picUpdateRate;
}

void TForm_Main::ShowFramePicture(const TMLX90640Published &frame, bool withEffects) {
    const bool sharpen = withEffects && chk_Sharpen->isChecked();
    const bool blur = withEffects && chk_Blur->isChecked();
    const bool negative = withEffects && chk_Negative->isChecked();
    const bool exposure = withEffects && chk_Exposure->isChecked();
    // The effects work on a copy: the object's published bitmap stays as it is.
    std::optional<TBitmap24> withEffectsApplied;
    if (sharpen || blur || negative || exposure) {
        TBitmap24 &bmp = withEffectsApplied.emplace(frame.BmpPic);
        if (sharpen)
            Sharpen(bmp);
        if (blur)
            Blur(bmp);
        if (negative)
            Negative(bmp);
        if (exposure)
            Exposure(bmp);
    }
    const TBitmap24 &bmp = withEffectsApplied ? *withEffectsApplied : frame.BmpPic;
    Image1->SetPictureBgr(bmp.Empty() ? nullptr : bmp.Bits(), bmp.Width(), bmp.Height(), bmp.BytesPerLine());
}

void TForm_Main::UpdateTargetImg() {
    TMLX90640 *mlx = &fImage;
    const int32_t lang = LanguageNum;
    // Read at every call, also while the two edits are disabled.
    const TMarkParams params = MarkParamsFromTexts(edt_TargetSize->text(), edt_TextHeight->text());

    std::shared_ptr<const TMLX90640Published> frame = fShownFrame ? fShownFrame : mlx->GetPublished();
    if (!frame)
        frame = StateOfObject(*mlx);
    const TPixel centre = CentrePixel(frame->Pixs_Origin);
    // A picture from a temperature file carries no statistics of its own: the
    // readouts and marks take them from its grid.
    TPixel minPix = frame->MinPix;
    TPixel maxPix = frame->MaxPix;
    double average = frame->TemperatureAvg;
    const bool fromFile = frame->Subpage < 0 && frame->FrameNumber > 0;
    if (fromFile)
        GridStatistics(frame->Pixs_Origin, minPix, maxPix, average);
    // "℃" as the object computes: temperatures, or image values (whatever the list's
    // text shows while the user types into it).
    const bool absolute = fImage.GetPixsType() == PXT_Temp;

    // Readouts.
    const TLiveReadouts readouts = LiveReadouts(
        {frame->Vdd, frame->Ta, centre.Temperature, maxPix.Temperature, minPix.Temperature, average}, lang,
        absolute);
    lbl_Vdd->setText(readouts.Vdd);
    lbl_Ta->setText(readouts.Ta);
    lbl_CenterTemp->setText(readouts.CenterTemp);
    lbl_MaxTemp->setText(readouts.MaxTemp);
    lbl_MinTemp->setText(readouts.MinTemp);
    lbl_AvgTemp->setText(readouts.AvgTemp);

    // The cursor readout: only over the picture and once a picture exists. It reads
    // the frame's picture temperatures (the same values as its picture grid, which is
    // not built for it).
    std::optional<TMarkPoint> cursor;
    double cursorTemp = 0.0;
    const TPictureValues &picture = frame->Picture;
    if (picture.Width == TMLX90640::kBmpWidth && MouseIsInImage1()) {
        const int32_t mx = MouseXIndex_InImage1;
        const int32_t my = MouseYIndex_InImage1;
        if (mx >= 0 && mx < picture.Width && my >= 0 && my < picture.Height) {
            cursor = TMarkPoint{mx, my};
            cursorTemp = picture.Temperature(mx, my);
            lbl_MouseMoveText->setText(MouseTempText(lang, cursorTemp));
        }
    }

    const TAnalysis &analysis = *fAnalysis;
    // An alarm outranks a held notice; a lost link outranks both.
    if (fHoldConnectionLostNotice) {
    } else if (analysis.AlarmActive()) {
        StatusBar1->SetPanelText(6, AlarmNoticeText(analysis, lang));
    } else if (NoticeHeld()) {
        StatusBar1->SetPanelText(6, fHeldNotice);
    } else {
        StatusBar1->SetPanelText(6, fromFile ? Tr(TText::Notice, lang) : VddNoticeText(lang, frame->Vdd));
    }

    // The isotherm goes under the markers, the regions and the alarm frame over them.
    if (analysis.IsothermOn())
        PaintIsothermOver(Image1->Picture(), picture, analysis.IsoLow(), analysis.IsoHigh());
    if (chk_ShowTarget->isChecked())
        PaintTargets(minPix, maxPix, centre, cursor, cursorTemp, absolute, params);
    PaintRegions(Image1->Picture(), analysis, absolute);
    if (analysis.AlarmActive())
        PaintAlarmFrame(Image1->Picture());
    Image1->update();
}

void TForm_Main::PaintTargets(const TPixel &minPix, const TPixel &maxPix, const TPixel &centre,
                              const std::optional<TMarkPoint> &cursor, double cursorTemp, bool absolute,
                              const TMarkParams &params) {
    const int32_t lang = LanguageNum;
    const TMarkPoint minMark = SensorMarkPoint(minPix.X, minPix.Y);
    const TMarkPoint maxMark = SensorMarkPoint(maxPix.X, maxPix.Y);
    const std::vector<TMarkCross> crosses{{kCentreMark, RGBColorInverse(centre.Color)},
                                          {minMark, RGBColorInverse(minPix.Color)},
                                          {maxMark, RGBColorInverse(maxPix.Color)}};
    TMarkTextInputs in;
    in.MinMark = minMark;
    in.MaxMark = maxMark;
    in.Cursor = cursor;
    in.CursorValue = MarkValueText(cursorTemp, absolute);
    in.MinValue = MarkValueText(minPix.Temperature, absolute);
    in.MaxValue = MarkValueText(maxPix.Temperature, absolute);
    in.CentreValue = MarkValueText(centre.Temperature, absolute);
    in.ShowNames = chk_ShowTarget_Text->isChecked();
    in.LanguageNum = lang;
    PaintTargetMarks(Image1->Picture(), crosses, TargetTexts(in, params), params);
}

bool TForm_Main::MouseIsInImage1() {
    // The cursor in the coordinates of the picture's container, where the picture's
    // Left and Top are given; both comparisons are strict. The cursor is the one the
    // window's mouse events last reported: outside the window it is over no picture.
    const std::optional<QPoint> global = fCursor->GlobalPos();
    if (!global)
        return false;
    QWidget *container = Image1->parentWidget();
    const QPoint pos = container ? container->mapFromGlobal(*global) : *global;
    const QRect r = Image1->geometry();
    if (!(r.left() < pos.x() && pos.x() < r.left() + r.width() && r.top() < pos.y() &&
          pos.y() < r.top() + r.height()))
        return false;
    int64_t dx = pos.x() - r.left();
    int64_t dy = pos.y() - r.top();
    // Stretched to another size (the hidden scale list), the control's pixels are not
    // the picture's: count in picture pixels, which index the picture grid.
    const QSize picture = Image1->Picture().size();
    if (!picture.isEmpty() && picture != r.size()) {
        dx = dx * picture.width() / r.width();
        dy = dy * picture.height() / r.height();
    }
    MouseXIndex_InImage1 = int32_t(dx);
    MouseYIndex_InImage1 = int32_t(dy);
    return true;
}

void TForm_Main::Image1MouseEnter(QObject *) {}

void TForm_Main::Image1MouseLeave(QObject *) {
    lbl_MouseMoveText->setText(MouseTempText(LanguageNum));
}

void TForm_Main::DoTimer(QObject *) {
    if (!fImage.GetHaveNewDatas())
        return;
    // Frees itself when it ends; runs the refresh on this (the UI) thread.
    auto *thread = new TThreadUpdatePic(this);
    thread->start();
}
