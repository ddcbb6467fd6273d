#pragma once
// Where the decoding worker hands the calibration memory and the frame memories:
// the sensor image object in the program, a recorder in tests.

#include "pipeline/PixelTypes.h"

class TFrameSink {
public:
    virtual ~TFrameSink() = default;
    // 833 words: the calibration memory in the order received, then a 0.
    virtual void SetEEPROMArr(const TUINT16s &words) = 0;
    // At least 834 words of frame memory; word 833 is the subpage number. The words
    // stay unchanged until the call returns.
    virtual void SetRAMArr(const TUINT16s &words) = 0;
};
