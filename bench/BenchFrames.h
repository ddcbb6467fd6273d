#pragma once
// The frames and the settings the benchmark programs run the sensor image object on.

#include "pipeline/MLX90640.h"
#include "pipeline/PipelineBuffers.h"
#include "sensor/MLX90640_API.h"
#include "sim/SyntheticSensor.h"

#include <cmath>
#include <vector>

struct TBenchFrames {
    TUINT16s calibration;
    std::vector<TUINT16s> frames;
};

// A warm object against a cooler background with a gradient, moving a little
// from frame to frame; both subpages of each scene.
inline const TBenchFrames &BenchFrames() {
    static const TBenchFrames data = [] {
        TBenchFrames d;
        d.calibration = RealisticCalibration();
        TParamsMLX90640 params{};
        MLX90640_ExtractParameters(d.calibration.data(), params);
        d.calibration.push_back(0);
        const TFrameSynthesizer synth(params);
        for (int k = 0; k < 4; ++k) {
            std::vector<double> scene(768);
            for (int r = 0; r < 24; ++r)
                for (int c = 0; c < 32; ++c) {
                    const double dx = c - 12.0 - k, dy = r - 10.0;
                    scene[32 * r + c] = 21.0 + 0.1 * r + 14.0 * std::exp(-(dx * dx + dy * dy) / 18.0);
                }
            for (int subpage = 0; subpage <= 1; ++subpage) {
                TFrameConditions conditions;
                conditions.subpage = subpage;
                conditions.emissivity = 0.95;
                TUINT16s words = synth.Render(scene.data(), conditions);
                words.push_back(0);
                d.frames.push_back(std::move(words));
            }
        }
        return d;
    }();
    return data;
}

// The main window's start-up settings: linear passes, no filter, palette Pseudo2,
// fixed range 0 .. 35.
inline void ApplyDefaultSettings(TMLX90640 &obj) {
    obj.SetPixsType(PXT_Temp);
    obj.SetMirror_LR(true);
    obj.SetBrokenPixsCorr(true);
    obj.SetInterMethodFirst(IM_Poly1);
    obj.SetInterMethodSecond(IM_Poly1);
    obj.SetFilter(false);
    obj.SetTempToColorConverMeth(CM_GrayColor);
    obj.SetGrayColor_SubMeth(GCM_Pseudo2);
    obj.SetTemperature_UpLowAuto(false);
    obj.SetTemperature_LowerLimit(0.0);
    obj.SetTemperature_UpperLimit(35.0);
}

// Cubic passes, a 9 x 9 Gaussian filter, continuous colouring class 2, automatic
// range. GrayToContinuColor_ClassNum is module-wide: the caller sets it back.
inline void ApplyHeavySettings(TMLX90640 &obj) {
    obj.SetPixsType(PXT_Temp);
    obj.SetMirror_LR(true);
    obj.SetBrokenPixsCorr(true);
    obj.SetInterMethodFirst(IM_Poly3);
    obj.SetInterMethodSecond(IM_Poly3);
    obj.SetFilter(true);
    obj.SetFilterMethod(2);
    obj.SetFilterPixsCount(9);
    obj.SetGaussSigma(1.5);
    obj.SetTempToColorConverMeth(CM_ContinuColor);
    obj.SetContinuColor_K(CCK_1_0);
    GrayToContinuColor_ClassNum = 2;
    obj.SetTemperature_UpLowAuto(true);
}
