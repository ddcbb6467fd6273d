#pragma once
// Module-level buffers of the image pipeline, one of each per program.
//
// TemperatureDatas, LastTemperatureDatas, minStep and maxStep are touched only
// while a frame or a temperature file is being processed, which the sensor image
// object serialises; GrayToContinuColor_ClassNum is set by the window's palette
// selector while frames are computed, hence atomic.

#include <atomic>
#include <cstdint>

// Per-frame results of the sensor maths: index 32 * row + column; entries 768 to
// 1023 are never used.
extern double TemperatureDatas[1024];
// Raw value of each pixel in the last frame processed with Slugg on (initially 0).
extern double LastTemperatureDatas[1024];
// Range of the step sums of the last smoothing-filter run.
extern double minStep;
extern double maxStep;
// Variant of the continuous colouring (1, 2, any other value: 3); initially 1.
extern std::atomic<int32_t> GrayToContinuColor_ClassNum;
