#include "serial/PortLine.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

void ApplyPortModemLines(int fd, const TPortLineSettings &s) {
    int dtr = TIOCM_DTR;
    ioctl(fd, s.DtrControl == TDtrControl::DtrDisable ? TIOCMBIC : TIOCMBIS, &dtr);

    int rts = TIOCM_RTS;
    ioctl(fd, s.RtsControl == TRtsControl::RtsDisable ? TIOCMBIC : TIOCMBIS, &rts);

    // RTS toggled around each transmission is the driver's RS-485 mode. Switch it on
    // when asked for, and off again only where it is on (most drivers lack it).
    struct serial_rs485 rs485 {};
    const bool wanted = s.RtsControl == TRtsControl::RtsTransmissionAvailable;
    const bool known = ioctl(fd, TIOCGRS485, &rs485) == 0;
    if (wanted || (known && (rs485.flags & SER_RS485_ENABLED))) {
        if (wanted)
            rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
        else
            rs485.flags &= ~SER_RS485_ENABLED;
        ioctl(fd, TIOCSRS485, &rs485);
    }
}
