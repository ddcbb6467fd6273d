#include "replay/ReplaySession.h"

#include "pipeline/PipelineBuffers.h"

#include <algorithm>
#include <atomic>

// Passes the words on to the sensor image object and counts the frames it abandons.
class TReplaySession::TCountingSink : public TFrameSink {
public:
    explicit TCountingSink(TMLX90640 &object) : fObject(object) {}
    void SetEEPROMArr(const TUINT16s &words) override { fObject.SetEEPROMArr(words); }
    void SetRAMArr(const TUINT16s &words) override {
        if (!fObject.SetRAMArr(words))
            fAbandoned.fetch_add(1);
    }
    int Abandoned() const { return fAbandoned.load(); }

private:
    TMLX90640 &fObject;
    std::atomic<int> fAbandoned{0};
};

void ApplyDisplayOptions(const TReplayOptions &o, TMLX90640 &object) {
    static constexpr TInterMethod kInter[] = {IM_Poly1, IM_Poly2, IM_Poly3};
    object.SetPixsType(o.image ? PXT_Image : PXT_Temp);
    object.SetMirror_LR(o.mirror);
    object.SetEmissivity(o.emissivity);
    object.SetInterMethodFirst(kInter[std::clamp(o.interpFirst, 0, 2)]);
    object.SetInterMethodSecond(kInter[std::clamp(o.interpSecond, 0, 2)]);
    object.SetFilter(o.filter);
    object.SetFilterMethod(o.filterMethod);
    object.SetFilterPixsCount(o.filterPixsCount);
    object.SetGaussSigma(o.gaussSigma);
    object.SetTemperatureStep(false);
    object.SetTemperature_UpLowAuto(o.autoRange);
    object.SetTemperature_LowerLimit(o.lowerLimit);
    object.SetTemperature_UpperLimit(o.upperLimit);
    object.SetBrokenPixsCorr(o.correction);
    object.SetSlugg(o.slugg);
    object.SetContinuColor_K(CCK_1_0);
    // The window's palette list: items 0..9 are the palettes, 10..12 the three
    // variants of the continuous colouring.
    if (o.palette >= 0 && o.palette <= 9) {
        object.SetTempToColorConverMeth(CM_GrayColor);
        object.SetGrayColor_SubMeth(static_cast<TGrayColor_SubMeth>(o.palette));
    } else if (o.palette >= 10 && o.palette <= 12) {
        object.SetTempToColorConverMeth(CM_ContinuColor);
        object.SetGrayColor_SubMeth(GCM_Pseudo2);
        GrayToContinuColor_ClassNum.store(o.palette - 9);
    }
}

TReplaySession::TReplaySession(const TReplayOptions &options)
    : fSink(std::make_shared<TCountingSink>(fObject)), fDispatcher(std::make_shared<TStdUiDispatcher>()) {
    ApplyDisplayOptions(options, fObject);
    TLinkHooks hooks;
    hooks.Sink = fSink;
    hooks.Dispatcher = fDispatcher;
    fIntake = std::make_unique<TFrameIntake>(hooks);
}

TReplaySession::~TReplaySession() {
    fIntake.reset();  // before the sensor image object it hands frames to
}

int TReplaySession::Abandoned() const {
    return fSink->Abandoned();
}

void TReplaySession::Feed(const uint8_t *data, size_t len, std::vector<TReplayFrame> &frames) {
    const TFrameType type = FrameTypeOf(data, len);
    if (type != TFrameType::None)
        fLastFrameType = type;
    constexpr size_t kPiece = 4096;
    for (size_t at = 0; at < len; at += kPiece) {
        const size_t n = std::min(kPiece, len - at);
        fIntake->Comm1ReceiveData(data + at, uint16_t(n));
        fIntake->WaitIdle();
    }
    auto published = fObject.GetPublished();
    if (published && published->FrameNumber != fLastFrameNumber) {
        fLastFrameNumber = published->FrameNumber;
        fObject.SetHaveNewDatas(false);
        frames.push_back({fNextIndex++, fLastFrameType, std::move(published)});
    }
}
