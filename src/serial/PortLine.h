#pragma once
// The port-state step on an open serial device (Linux).
//
// ApplyPortLineSettings writes raw mode, any integer speed (termios2 with BOTHER),
// data bits, parity, stop bits and flow control, then sets the DTR and RTS lines.
// What Linux cannot express is left out: DSR output flow, DTR handshaking,
// DSR sensitivity, continue-after-XOFF and the XON/XOFF limits. Bytes with a parity
// error are passed on as received unless ReplaceWhenParityError is set, in which
// case the driver replaces them with 0 (Linux has no other replacement byte).
// Null bytes are discarded by the reading thread, not here.

#include "serial/SerialTypes.h"

#include <cstdint>

// Line settings (termios2). Returns false when the device refuses them.
bool ApplyPortLineSettings(int fd, const TPortLineSettings &settings);

// DTR and RTS lines and RS-485 direction toggling; best effort (pseudo-terminals
// and some adapters have no modem lines).
void ApplyPortModemLines(int fd, const TPortLineSettings &settings);

// Output speed in bits per second as the device reports it.
bool QueryPortSpeed(int fd, uint32_t &speed);
