#pragma once
// TMLX90640, the sensor image object: takes the calibration memory and every frame
// memory, computes supply voltage, ambient and pixel temperatures, fills the
// 32 x 24 sensor grid (mirroring, temporal smoothing, statistics, automatic colour
// range), enlarges it to the 512 x 384 picture grid, colours both and writes the
// picture bitmap.
//
// Threads. SetEEPROMArr, SetRAMArr and LoadDatasFromTemperatureFile run on a worker
// and never overlap: the object serialises them (one lock for the whole program,
// because they share the module-level buffers and the calibration record), and
// copies the words it is handed before using them. A finished frame is published
// as one immutable TMLX90640Published; every result getter reads the latest
// published state (or a copy taken under a lock), so the window thread never sees
// a half-written picture. Display options are atomics, each read once per frame:
// a change takes effect with the next frame. HaveNewDatas and the subpage flags
// are raised only after the frame has been published.

#include "pipeline/Bitmap24.h"
#include "pipeline/ColorMap.h"
#include "pipeline/PictureGrid.h"
#include "pipeline/PictureRender.h"
#include "pipeline/PipelineBuffers.h"
#include "pipeline/PixelTypes.h"
#include "pipeline/RecyclePool.h"
#include "pipeline/TemperatureFile.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// One finished frame, immutable once published.
//
// The picture comes as the bitmap and as flat values: Picture.Temps holds the
// 512 x 384 picture temperatures row by row (pixel (x, y) at [y * 512 + x]), and
// Picture.Gray(x, y) / Picture.Color(x, y) give a pixel's grey value and colour
// word without building anything. Pixs_Interpolation is the 512 x 384 grid of
// pixel records; it is built from Picture the first time a reader uses it (about
// half a millisecond and 11 MB), once per frame, whichever thread asks.
struct TMLX90640Published {
    TBitmap24 BmpPic;                // the 512 x 384 picture
    TPictureValues Picture;          // its temperatures and how they were coloured
    TLazyPixels Pixs_Interpolation;  // 512 x 384 grid, built from Picture on first use
    TPixels Pixs_Origin;             // 32 x 24 grid as it stood after the frame
    TPixel MinPix, MaxPix;
    double TemperatureAvg = 0.0, Vdd = 0.0, Ta = 0.0;
    double Temperature_LowerLimit = 0.0, Temperature_UpperLimit = 0.0;  // limits used
    bool Mirror_LR = false;    // the sensor field was mirrored left to right (never for a file)
    int Subpage = -1;          // word 833 of the frame; -1 for a picture from a temperature file
    uint64_t FrameNumber = 0;  // counts published pictures from 1
};

class TMLX90640 {
public:
    static constexpr int kBmpWidth = 512;
    static constexpr int kBmpHeight = 384;

    TMLX90640();
    ~TMLX90640();
    TMLX90640(const TMLX90640 &) = delete;
    TMLX90640 &operator=(const TMLX90640 &) = delete;

    // The latest published picture and its data; nullptr before the first one.
    std::shared_ptr<const TMLX90640Published> GetPublished() const;

    int32_t GetPixColCount() const { return fPixColCount; }
    int32_t GetPixRowCount() const { return fPixRowCount; }

    // The last frame memory / calibration memory (copies).
    TUINT16s GetRAMArr() const;
    TUINT16s GetEEPROMArr() const;
    // Processes one frame (at least 834 words; word 833 is the subpage). Returns true
    // when the frame went through to a published picture; false when the array is
    // too short (nothing changes) or the frame was abandoned part-way (the picture
    // stays the previous one and no flag is raised).
    bool SetRAMArr(const TUINT16s &words);
    // Takes new calibration (the first 832 words) into myParamsMLX90640. Returns false,
    // changing nothing, for an array of fewer than 832 words.
    bool SetEEPROMArr(const TUINT16s &words);

    std::vector<int32_t> GetRegisterArr() const;
    void SetRegisterArr(const std::vector<int32_t> &registers);

    // Results of the last published frame.
    double GetVdd() const;
    double GetTa() const;
    TPixels GetPixs_Origin() const;
    TPixel GetMinPix() const;
    void SetMinPix(const TPixel &pixel);
    TPixel GetMaxPix() const;
    void SetMaxPix(const TPixel &pixel);
    double GetTemperatureAvg() const;
    // The current picture grid (built on first use); an empty grid before the
    // first picture.
    std::shared_ptr<const TPixels> GetPixs_Interpolation() const;
    // A copy of the current picture (black before the first one), free to draw on.
    TBitmap24 GetBmpPic() const;

    // Display options: plain stores, used from the next frame on.
    double GetEmissivity() const { return fEmissivity.load(); }
    void SetEmissivity(double v) { fEmissivity.store(v); }
    bool GetSlugg() const { return fSlugg.load(); }
    void SetSlugg(bool v) { fSlugg.store(v); }
    bool GetBrokenPixsCorr() const { return fBrokenPixsCorr.load(); }
    void SetBrokenPixsCorr(bool v) { fBrokenPixsCorr.store(v); }
    TPixType GetPixsType() const { return fPixsType.load(); }
    void SetPixsType(TPixType v) { fPixsType.store(v); }
    bool GetMirror_LR() const { return fMirror_LR.load(); }
    void SetMirror_LR(bool v) { fMirror_LR.store(v); }
    TInterMethod GetInterMethodFirst() const { return fInterMethodFirst.load(); }
    void SetInterMethodFirst(TInterMethod v) { fInterMethodFirst.store(v); }
    TInterMethod GetInterMethodSecond() const { return fInterMethodSecond.load(); }
    void SetInterMethodSecond(TInterMethod v) { fInterMethodSecond.store(v); }
    bool GetFilter() const { return fFilter.load(); }
    void SetFilter(bool v) { fFilter.store(v); }
    int32_t GetFilterMethod() const { return fFilterMethod.load(); }
    void SetFilterMethod(int32_t v) { fFilterMethod.store(v); }
    int32_t GetFilterPixsCount() const { return fFilterPixsCount.load(); }
    void SetFilterPixsCount(int32_t v) { fFilterPixsCount.store(v); }
    double GetGaussSigma() const { return fGaussSigma.load(); }
    void SetGaussSigma(double v) { fGaussSigma.store(v); }
    bool GetTemperatureStep() const { return fTemperatureStep.load(); }
    void SetTemperatureStep(bool v) { fTemperatureStep.store(v); }
    // The colour range: the automatic switch and the limits change under one lock
    // with the frame's own automatic adjustment, so limits set after the switch went
    // off stay as set.
    double GetTemperature_UpperLimit() const { return fTemperature_UpperLimit.load(); }
    void SetTemperature_UpperLimit(double v) {
        std::lock_guard<std::mutex> range(fRangeMutex);
        fTemperature_UpperLimit.store(v);
    }
    double GetTemperature_LowerLimit() const { return fTemperature_LowerLimit.load(); }
    void SetTemperature_LowerLimit(double v) {
        std::lock_guard<std::mutex> range(fRangeMutex);
        fTemperature_LowerLimit.store(v);
    }
    bool GetTemperature_UpLowAuto() const { return fTemperature_UpLowAuto.load(); }
    void SetTemperature_UpLowAuto(bool v) {
        std::lock_guard<std::mutex> range(fRangeMutex);
        fTemperature_UpLowAuto.store(v);
    }
    TTempToColorConverMeth GetTempToColorConverMeth() const { return fTempToColorConverMeth.load(); }
    void SetTempToColorConverMeth(TTempToColorConverMeth v) { fTempToColorConverMeth.store(v); }
    TGrayColor_SubMeth GetGrayColor_SubMeth() const { return fGrayColor_SubMeth.load(); }
    void SetGrayColor_SubMeth(TGrayColor_SubMeth v) { fGrayColor_SubMeth.store(v); }
    TContinuColor_K GetContinuColor_K() const { return fContinuColor_K.load(); }
    void SetContinuColor_K(TContinuColor_K v) { fContinuColor_K.store(v); }

    // For tests of the colour range: runs on the ingesting thread when a frame has
    // decided its automatic limits and is about to store them (under the range lock).
    void SetRangeDecidedHook(std::function<void()> hook) { fRangeDecidedHook = std::move(hook); }

    // Flags raised by the object and lowered by their reader.
    bool GetHaveNewDatas() const { return fHaveNewDatas.load(); }
    void SetHaveNewDatas(bool v) { fHaveNewDatas.store(v); }
    bool GetFrame0Finished() const { return fFrame0Finished.load(); }
    void SetFrame0Finished(bool v) { fFrame0Finished.store(v); }
    bool GetFrame1Finished() const { return fFrame1Finished.load(); }
    void SetFrame1Finished(bool v) { fFrame1Finished.store(v); }

    // Fills the sensor grid from a temperature file (value j of line i to column j,
    // row i, no mirroring), sets the limits from the file's range when
    // Temperature_UpLowAuto is on, and makes the picture as a frame would.
    // Throws TTemperatureFileError when the file cannot be read (nothing changes) or
    // a value is not a number (the pixels before it keep their new values; limits
    // and picture stay).
    void LoadDatasFromTemperatureFile(const std::string &fileName,
                                      const std::string &decimalSeparator = LocaleDecimalSeparator());

private:
    // AutoLowUp of the frame statistics; returns the limits to colour with.
    void AutoLowUp(const TPixel &minPix, const TPixel &maxPix, double &lower, double &upper);
    TPictureSettings PictureSettings(double lower, double upper);
    // Steps 8 to 11 and the publication; true when a picture was published.
    bool MakePicture(double lower, double upper, const TPixel &minPix, const TPixel &maxPix, double avg,
                     double vdd, double ta, int subpage, bool mirrored);

    const int32_t fPixColCount = 32;
    const int32_t fPixRowCount = 24;

    // Word arrays: written by the ingesting thread under fWordsMutex.
    mutable std::mutex fWordsMutex;
    TUINT16s fRAMArr;
    TUINT16s fEEPROMArr;
    std::vector<int32_t> fRegisterArr;

    // Worker side (only under the ingestion lock).
    TPixels fPixs_Origin;
    TPictureRenderer fRenderer;
    std::shared_ptr<TRecyclePool<TPixels>> fGridPool;  // built picture grids
    TColorScheme fScheme;                              // the scheme of fColors
    TColorTable fColors;
    bool fHaveColors = false;
    std::shared_ptr<TRecyclePool<TMLX90640Published>> fStatePool;
    uint64_t fFrameCount = 0;

    // Results: the published state and the statistics, under fResultMutex.
    mutable std::mutex fResultMutex;
    std::shared_ptr<const TMLX90640Published> fPublished;
    TPixel fMinPix;
    TPixel fMaxPix;
    double fTemperatureAvg = 0.0;
    double fVdd = 0.0;
    double fTa = 0.0;

    std::atomic<double> fEmissivity{0.95};
    std::atomic<bool> fSlugg{false};
    std::atomic<bool> fBrokenPixsCorr{true};
    std::atomic<TPixType> fPixsType{PXT_Temp};
    std::atomic<bool> fMirror_LR{false};
    std::atomic<TInterMethod> fInterMethodFirst{IM_Poly3};
    std::atomic<TInterMethod> fInterMethodSecond{IM_Poly1};
    std::atomic<bool> fFilter{false};
    std::atomic<int32_t> fFilterMethod{0};
    std::atomic<int32_t> fFilterPixsCount{5};
    std::atomic<double> fGaussSigma{1.5};
    std::atomic<bool> fTemperatureStep{false};
    mutable std::mutex fRangeMutex;  // the switch and the limits below, written together
    std::function<void()> fRangeDecidedHook;
    std::atomic<double> fTemperature_UpperLimit{45.0};
    std::atomic<double> fTemperature_LowerLimit{0.0};
    std::atomic<bool> fTemperature_UpLowAuto{true};
    std::atomic<TTempToColorConverMeth> fTempToColorConverMeth{CM_GrayColor};
    std::atomic<TGrayColor_SubMeth> fGrayColor_SubMeth{GCM_Gray};
    std::atomic<TContinuColor_K> fContinuColor_K{CCK_1_0};

    std::atomic<bool> fHaveNewDatas{false};
    std::atomic<bool> fFrame0Finished{false};
    std::atomic<bool> fFrame1Finished{false};
};
