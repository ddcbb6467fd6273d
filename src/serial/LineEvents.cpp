#include "serial/LineEvents.h"

#include "serial/SerialTypes.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

bool ReadLineCounters(int fd, TLineCounters &c) {
    struct serial_icounter_struct ic {};
    if (ioctl(fd, TIOCGICOUNT, &ic) != 0)
        return false;
    c.Cts = ic.cts;
    c.Dsr = ic.dsr;
    c.Rng = ic.rng;
    c.Dcd = ic.dcd;
    c.Frame = ic.frame;
    c.Overrun = ic.overrun;
    c.Parity = ic.parity;
    c.Brk = ic.brk;
    c.BufOverrun = ic.buf_overrun;
    return true;
}

TLineEvents CompareLineCounters(const TLineCounters &a, const TLineCounters &b) {
    TLineEvents e;
    if (b.BufOverrun != a.BufOverrun)
        e.ErrorBits |= CE_RXOVER;
    if (b.Overrun != a.Overrun)
        e.ErrorBits |= CE_OVERRUN;
    if (b.Parity != a.Parity)
        e.ErrorBits |= CE_RXPARITY;
    if (b.Frame != a.Frame)
        e.ErrorBits |= CE_FRAME;
    if (b.Brk != a.Brk)
        e.ErrorBits |= CE_BREAK;
    if (b.Rng != a.Rng)
        e.ModemBits |= ME_RING;
    if (b.Dcd != a.Dcd)
        e.ModemBits |= ME_RLSD;
    return e;
}
