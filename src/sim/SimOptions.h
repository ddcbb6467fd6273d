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
    // The module's clock at power-on, as local date and time counted like a Unix time;
    // 0: the host's local time. Set, two sessions report the same clock.
    int64_t clockStart = 0;

    // Faults of the line and the device (korvale-sim --corrupt, --stall, --vanish-after).
    // Flips and drops draw from their own generator, seeded from `seed`: the same seed
    // and the same bytes sent give the same faults, and switching faults on does not
    // change the pixel noise.
    double flipProbability = 0;  // per byte sent: one bit of it flipped
    double dropProbability = 0;  // per byte sent: the byte left out
    int stallMs = 0;             // the module falls silent for this long...
    int stallEvery = 0;          // ...after every this many live frames sent (0: never)
    int vanishAfter = -1;  // the device is closed after this many (1 or more) live frames sent (-1: never)
};
