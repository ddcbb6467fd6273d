#pragma once
// Hands the decoded words to the sensor image object TMLX90640.

#include "link/FrameSink.h"

#include <memory>

class TMLX90640;

class TMLX90640Sink : public TFrameSink {
public:
    // The object must outlive the sink (and so the frame intake that uses it).
    explicit TMLX90640Sink(TMLX90640 &object) : fObject(object) {}

    void SetEEPROMArr(const TUINT16s &words) override;
    void SetRAMArr(const TUINT16s &words) override;

private:
    TMLX90640 &fObject;
};

std::shared_ptr<TFrameSink> MakeMLX90640Sink(TMLX90640 &object);
