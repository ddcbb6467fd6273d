#include "pipeline/PipelineBuffers.h"

double TemperatureDatas[1024] = {};
double LastTemperatureDatas[1024] = {};
double minStep = 0.0;
double maxStep = 0.0;
std::atomic<int32_t> GrayToContinuColor_ClassNum{1};
