// The program's one calibration record. Static storage: zero-filled at start.
#include "sensor/MLX90640_API.h"

TParamsMLX90640 myParamsMLX90640;
