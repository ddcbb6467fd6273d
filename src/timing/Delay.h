#pragma once
// Delay(ms): waits ms milliseconds while the calling thread's event loop keeps
// running, so timers, received data, posted calls and clicks are handled meanwhile
// (and a handler may be entered again). Pending events are handled at least once,
// so Delay(0) (or a negative time) handles them and returns. The wait sleeps
// between events instead of spinning; the clock is monotonic, so it never ends
// early.

#include <cstdint>

void Delay(int32_t ms);
