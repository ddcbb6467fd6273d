#pragma once
// A synthetic sensor for pipeline tests: a realistic calibration and frames
// rendered from scenes of temperatures.

#include "pipeline/MLX90640.h"
#include "sensor/MLX90640_API.h"
#include "sim/SyntheticSensor.h"

#include <memory>
#include <vector>

struct TSyntheticSensor {
    explicit TSyntheticSensor(const TRealisticCalibrationOptions &options = {}) {
        calibration = RealisticCalibration(options);
        MLX90640_ExtractParameters(calibration.data(), params);
        synth = std::make_unique<TFrameSynthesizer>(params);
        calibration.push_back(0);  // handed over as 833 words, the last 0
    }

    // One frame of `subpage` as the link hands it over: 835 words, the last 0.
    TUINT16s Frame(const std::vector<double> &scene, int subpage, double ta = 25.0,
                   double emissivity = 0.95) const {
        TFrameConditions c;
        c.subpage = subpage;
        c.ta = ta;
        c.emissivity = emissivity;
        TUINT16s words = synth->Render(scene.data(), c);
        words.push_back(0);
        return words;
    }

    TUINT16s calibration;
    TParamsMLX90640 params{};
    std::unique_ptr<TFrameSynthesizer> synth;
};

// A scene of `base` °C with one pixel (row, column) at `hot` °C, row-major.
inline std::vector<double> HotSpotScene(double base, int row, int column, double hot) {
    std::vector<double> scene(768, base);
    scene[32 * row + column] = hot;
    return scene;
}

// The settings the main window gives the object at start-up.
inline void ApplyWindowDefaults(TMLX90640 &obj) {
    obj.SetPixsType(PXT_Temp);
    obj.SetMirror_LR(true);
    obj.SetInterMethodFirst(IM_Poly1);
    obj.SetInterMethodSecond(IM_Poly1);
    obj.SetTemperature_UpLowAuto(false);
    obj.SetTemperature_LowerLimit(0.0);
    obj.SetTemperature_UpperLimit(35.0);
    obj.SetTempToColorConverMeth(CM_GrayColor);
    obj.SetGrayColor_SubMeth(GCM_Pseudo2);
    obj.SetContinuColor_K(CCK_1_0);
    obj.SetFilter(false);
    obj.SetFilterMethod(0);
    obj.SetFilterPixsCount(9);
    obj.SetGaussSigma(1.5);
    obj.SetTemperatureStep(false);
}
