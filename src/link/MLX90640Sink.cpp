#include "link/MLX90640Sink.h"

#include "pipeline/MLX90640.h"

void TMLX90640Sink::SetEEPROMArr(const TUINT16s &words) {
    fObject.SetEEPROMArr(words);
}

void TMLX90640Sink::SetRAMArr(const TUINT16s &words) {
    fObject.SetRAMArr(words);
}

std::shared_ptr<TFrameSink> MakeMLX90640Sink(TMLX90640 &object) {
    return std::make_shared<TMLX90640Sink>(object);
}
