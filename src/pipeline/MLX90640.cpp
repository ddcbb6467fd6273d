#include "pipeline/MLX90640.h"

#include "pipeline/ColorMap.h"
#include "pipeline/FrameScan.h"
#include "sensor/MLX90640_API.h"

#include <exception>
#include <utility>

namespace {

// Frames, calibrations and temperature files share the module-level buffers and
// the calibration record, so they are processed one at a time program-wide.
std::mutex &IngestMutex() {
    static std::mutex mutex;
    return mutex;
}

constexpr size_t kFrameWords = 834;
constexpr size_t kCalibrationWords = 832;
constexpr size_t kKeepFree = 3;  // free grids / states kept for reuse

void DropGrid(TMLX90640Published &state) {
    state.Pixs_Interpolation.Drop();
}

bool SameScheme(const TColorScheme &a, const TColorScheme &b) {
    return a.Method == b.Method && a.Palette == b.Palette && a.Coefficient == b.Coefficient &&
           a.ClassNum == b.ClassNum;
}

const std::shared_ptr<const TPixels> &EmptyGrid() {
    static const std::shared_ptr<const TPixels> empty = std::make_shared<const TPixels>();
    return empty;
}

}  // namespace

TMLX90640::TMLX90640()
    : fRAMArr(kFrameWords, 0), fEEPROMArr(kCalibrationWords, 0), fRegisterArr(23, 0),
      fPixs_Origin(MakePixels(fPixColCount, fPixRowCount)),
      fGridPool(TRecyclePool<TPixels>::Create(kKeepFree)),
      fStatePool(TRecyclePool<TMLX90640Published>::Create(kKeepFree, &DropGrid)) {}

TMLX90640::~TMLX90640() = default;

std::shared_ptr<const TMLX90640Published> TMLX90640::GetPublished() const {
    std::lock_guard<std::mutex> lock(fResultMutex);
    return fPublished;
}

TUINT16s TMLX90640::GetRAMArr() const {
    std::lock_guard<std::mutex> lock(fWordsMutex);
    return fRAMArr;
}

TUINT16s TMLX90640::GetEEPROMArr() const {
    std::lock_guard<std::mutex> lock(fWordsMutex);
    return fEEPROMArr;
}

std::vector<int32_t> TMLX90640::GetRegisterArr() const {
    std::lock_guard<std::mutex> lock(fWordsMutex);
    return fRegisterArr;
}

void TMLX90640::SetRegisterArr(const std::vector<int32_t> &registers) {
    std::lock_guard<std::mutex> lock(fWordsMutex);
    fRegisterArr = registers;
}

double TMLX90640::GetVdd() const {
    std::lock_guard<std::mutex> lock(fResultMutex);
    return fVdd;
}

double TMLX90640::GetTa() const {
    std::lock_guard<std::mutex> lock(fResultMutex);
    return fTa;
}

TPixels TMLX90640::GetPixs_Origin() const {
    std::shared_ptr<const TMLX90640Published> state = GetPublished();
    if (state)
        return state->Pixs_Origin;
    return MakePixels(fPixColCount, fPixRowCount);
}

TPixel TMLX90640::GetMinPix() const {
    std::lock_guard<std::mutex> lock(fResultMutex);
    return fMinPix;
}

void TMLX90640::SetMinPix(const TPixel &pixel) {
    std::lock_guard<std::mutex> lock(fResultMutex);
    fMinPix = pixel;
}

TPixel TMLX90640::GetMaxPix() const {
    std::lock_guard<std::mutex> lock(fResultMutex);
    return fMaxPix;
}

void TMLX90640::SetMaxPix(const TPixel &pixel) {
    std::lock_guard<std::mutex> lock(fResultMutex);
    fMaxPix = pixel;
}

double TMLX90640::GetTemperatureAvg() const {
    std::lock_guard<std::mutex> lock(fResultMutex);
    return fTemperatureAvg;
}

std::shared_ptr<const TPixels> TMLX90640::GetPixs_Interpolation() const {
    std::shared_ptr<const TMLX90640Published> state = GetPublished();
    if (state)
        return state->Pixs_Interpolation.Shared();
    return EmptyGrid();
}

TBitmap24 TMLX90640::GetBmpPic() const {
    std::shared_ptr<const TMLX90640Published> state = GetPublished();
    if (state)
        return state->BmpPic;
    return TBitmap24(kBmpWidth, kBmpHeight);
}

bool TMLX90640::SetEEPROMArr(const TUINT16s &words) {
    if (words.size() < kCalibrationWords)
        return false;
    std::lock_guard<std::mutex> ingest(IngestMutex());
    {
        std::lock_guard<std::mutex> lock(fWordsMutex);
        fEEPROMArr = words;
    }
    // The status (defective-pixel findings) is not acted on.
    MLX90640_ExtractParameters(fEEPROMArr.data(), myParamsMLX90640);
    return true;
}

bool TMLX90640::SetRAMArr(const TUINT16s &words) {
    if (words.size() < kFrameWords)
        return false;
    std::lock_guard<std::mutex> ingest(IngestMutex());
    {
        std::lock_guard<std::mutex> lock(fWordsMutex);
        fRAMArr = words;
    }
    // Only this thread writes fRAMArr, so it may read it without the lock.
    const uint16_t *frame = fRAMArr.data();
    const int subpage = frame[833];

    const double emissivity = fEmissivity.load();
    const bool slugg = fSlugg.load();
    const bool correction = fBrokenPixsCorr.load();
    const bool mirror = fMirror_LR.load();
    const TPixType pixsType = fPixsType.load();

    bool published = false;
    try {
        const double vdd = MLX90640_GetVdd(frame, myParamsMLX90640);
        const double ta = MLX90640_GetTa(frame, myParamsMLX90640);
        const double tr = ta - 8.0;
        if (pixsType == PXT_Temp)
            MLX90640_CalculateTo(frame, myParamsMLX90640, emissivity, tr, TemperatureDatas);
        else
            MLX90640_GetImage(frame, myParamsMLX90640, TemperatureDatas);
        if (correction) {
            MLX90640_BadPixelsCorrection(myParamsMLX90640.brokenPixels, TemperatureDatas, 1,
                                         myParamsMLX90640);
            MLX90640_BadPixelsCorrection(myParamsMLX90640.outlierPixels, TemperatureDatas, 1,
                                         myParamsMLX90640);
        }
        const TFrameScan scan = ScanFrame(TemperatureDatas, LastTemperatureDatas, fPixs_Origin, fPixColCount,
                                          fPixRowCount, mirror, slugg);
        double lower, upper;
        AutoLowUp(scan.MinPix, scan.MaxPix, lower, upper);
        published = MakePicture(lower, upper, scan.MinPix, scan.MaxPix, scan.TemperatureAvg, vdd, ta, subpage,
                                mirror);
    } catch (const std::exception &) {
        return false;  // the frame is abandoned: no new picture, no subpage flag
    }
    if (subpage == 0)
        fFrame0Finished.store(true);
    if (subpage == 1)
        fFrame1Finished.store(true);
    return published;
}

void TMLX90640::AutoLowUp(const TPixel &minPix, const TPixel &maxPix, double &lower, double &upper) {
    // Under the range lock: once the window has switched the automatic range off (and
    // typed its limits), no frame under way stores its own limits over them.
    std::lock_guard<std::mutex> range(fRangeMutex);
    lower = fTemperature_LowerLimit.load();
    upper = fTemperature_UpperLimit.load();
    if (!fTemperature_UpLowAuto.load())
        return;
    const double lowerBefore = lower;
    const double upperBefore = upper;
    if (!AutoLowUpLimits(minPix.Temperature, maxPix.Temperature, lower, upper))
        return;
    if (fRangeDecidedHook)
        fRangeDecidedHook();
    // Store only what moved, so a limit typed meanwhile is not overwritten needlessly.
    if (lower != lowerBefore)
        fTemperature_LowerLimit.store(lower);
    if (upper != upperBefore)
        fTemperature_UpperLimit.store(upper);
}

TPictureSettings TMLX90640::PictureSettings(double lower, double upper) {
    TPictureSettings s;
    s.PointsFirst = InterMethodPoints(fInterMethodFirst.load());
    s.PointsSecond = InterMethodPoints(fInterMethodSecond.load());
    s.Filter = fFilter.load();
    s.FilterPixsCount = fFilterPixsCount.load();
    s.FilterMethod = fFilterMethod.load();
    s.GaussSigma = fGaussSigma.load();
    s.TemperatureStep = fTemperatureStep.load();
    s.LowerLimit = lower;
    s.UpperLimit = upper;
    TColorScheme scheme;
    scheme.Method = fTempToColorConverMeth.load();
    scheme.Palette = fGrayColor_SubMeth.load();
    scheme.Coefficient = fContinuColor_K.load();
    scheme.ClassNum = GrayToContinuColor_ClassNum.load();
    // The table (256 colourings, cosines for the continuous ones) only when the
    // scheme changed.
    if (!fHaveColors || !SameScheme(scheme, fScheme)) {
        fColors = BuildColorTable(scheme);
        fScheme = scheme;
        fHaveColors = true;
    }
    s.Colors = fColors;
    return s;
}

bool TMLX90640::MakePicture(double lower, double upper, const TPixel &minPix, const TPixel &maxPix,
                            double avg, double vdd, double ta, int subpage, bool mirrored) {
    const TPictureSettings settings = PictureSettings(lower, upper);

    // Grey values and colours of the sensor grid.
    for (auto &column : fPixs_Origin)
        for (TPixel &px : column)
            ColorPixel(px, lower, upper, settings.Colors);

    // Picture and bitmap, into a state that no reader holds; its picture grid is
    // built from the picture when a reader first asks for it.
    std::unique_ptr<TMLX90640Published> state = fStatePool->Take();
    if (!state) {
        state = std::make_unique<TMLX90640Published>();
        state->BmpPic.SetSize(kBmpWidth, kBmpHeight);
    }
    state->Pixs_Interpolation.Bind(&state->Picture, fGridPool);
    std::shared_ptr<TMLX90640Published> sharedState = fStatePool->Share(std::move(state));
    if (!fRenderer.Render(fPixs_Origin, settings, sharedState->Picture, sharedState->BmpPic))
        return false;  // the picture cannot fill the bitmap: no new picture

    sharedState->Pixs_Origin = fPixs_Origin;
    sharedState->MinPix = minPix;
    sharedState->MaxPix = maxPix;
    sharedState->TemperatureAvg = avg;
    sharedState->Vdd = vdd;
    sharedState->Ta = ta;
    sharedState->Temperature_LowerLimit = lower;
    sharedState->Temperature_UpperLimit = upper;
    sharedState->Subpage = subpage;
    sharedState->Mirror_LR = mirrored;
    sharedState->FrameNumber = ++fFrameCount;

    std::shared_ptr<const TMLX90640Published> previous;
    {
        std::lock_guard<std::mutex> lock(fResultMutex);
        previous = std::move(fPublished);
        fPublished = std::move(sharedState);
        fMinPix = minPix;
        fMaxPix = maxPix;
        fTemperatureAvg = avg;
        fVdd = vdd;
        fTa = ta;
    }
    previous.reset();  // may hand the old state back to its pool, outside the lock
    fHaveNewDatas.store(true);
    return true;
}

void TMLX90640::LoadDatasFromTemperatureFile(const std::string &fileName,
                                             const std::string &decimalSeparator) {
    const std::vector<std::string> lines = ReadTextLines(fileName);
    std::lock_guard<std::mutex> ingest(IngestMutex());

    double max = 0.0;
    double min = 9990.0;
    for (size_t i = 0; i < lines.size() && i < static_cast<size_t>(fPixRowCount); ++i) {
        const std::vector<std::string> values = SplitTemperatureLine(lines[i]);
        for (size_t j = 0; j < values.size() && j < static_cast<size_t>(fPixColCount); ++j) {
            double value;
            if (!ParseLocaleNumber(values[j], decimalSeparator, value))
                throw TTemperatureFileError("Temperature file \"" + fileName + "\", line " +
                                            std::to_string(i + 1) + ", value " + std::to_string(j + 1) +
                                            ": \"" + values[j] + "\" is not a number");
            TPixel &px = fPixs_Origin[j][i];
            px.X = static_cast<int32_t>(j);
            px.Y = static_cast<int32_t>(i);
            px.Useable = true;
            px.Temperature = value;
            if (value > max)
                max = value;
            if (value < min)
                min = value;
        }
    }

    std::unique_lock<std::mutex> range(fRangeMutex);
    double lower = fTemperature_LowerLimit.load();
    double upper = fTemperature_UpperLimit.load();
    if (fTemperature_UpLowAuto.load()) {
        // No hysteresis here: the limits always follow the file.
        if (!LowerLimitFor(min, lower) || !UpperLimitFor(max, upper))
            throw TTemperatureFileError("Temperature file \"" + fileName +
                                        "\": values too large for the colour range");
        fTemperature_LowerLimit.store(lower);
        fTemperature_UpperLimit.store(upper);
    }
    range.unlock();

    TPixel minPix, maxPix;
    double avg, vdd, ta;
    {
        std::lock_guard<std::mutex> lock(fResultMutex);
        minPix = fMinPix;
        maxPix = fMaxPix;
        avg = fTemperatureAvg;
        vdd = fVdd;
        ta = fTa;
    }
    MakePicture(lower, upper, minPix, maxPix, avg, vdd, ta, -1, false);
}
