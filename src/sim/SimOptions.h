#pragma once
// Settings of one virtual-module session.

#include "sim/SimScene.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TSimOptions {
    bool pacing = true;              // pace writes at the configured line speed
    double noise = 0.1;              // pixel noise in °C (standard deviation at 2 Hz; grows with the rate)
    TScene scene;                    // what the sensor looks at
    uint32_t seed = 1;               // noise and calibration scatter
    std::string truthDir;            // when set: one file of rendered temperatures per frame sent
    std::vector<int> brokenPixels;   // marked broken in the calibration
    std::vector<int> outlierPixels;  // marked as outliers in the calibration
    std::vector<std::pair<int, int>> presetParams;  // "$SETP" values applied at power-on
    size_t pieceBytes = 64;                         // bytes per piece delivered by the (emulated) USB bridge
};
