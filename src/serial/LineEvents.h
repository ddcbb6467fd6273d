#pragma once
// Line errors and modem-line changes from the driver's interrupt counters
// (TIOCGICOUNT). Real UARTs and many USB adapters keep them; pseudo-terminals don't.

#include <cstdint>

struct TLineCounters {
    int32_t Cts = 0, Dsr = 0, Rng = 0, Dcd = 0;
    int32_t Frame = 0, Overrun = 0, Parity = 0, Brk = 0, BufOverrun = 0;
};

struct TLineEvents {
    uint32_t ErrorBits = 0;  // CE_* bits
    uint32_t ModemBits = 0;  // ME_RING, ME_RLSD
};

// Reads the counters; false when the device does not keep them.
bool ReadLineCounters(int fd, TLineCounters &counters);

// What changed between two readings of the counters.
TLineEvents CompareLineCounters(const TLineCounters &before, const TLineCounters &after);
