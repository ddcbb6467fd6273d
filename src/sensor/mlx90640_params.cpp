// The program's one calibration record. Static storage: zero-filled at start.
#include "mlx90640_api.h"

TParamsMLX90640 myParamsMLX90640;
