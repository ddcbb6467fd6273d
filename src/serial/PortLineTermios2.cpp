// Kept apart from every file that includes <termios.h>: <asm/termbits.h> defines its
// own struct termios and the termios2 record with the BOTHER speed encoding.
#include "serial/PortLine.h"

#include <cerrno>

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace {

int Ioctl(int fd, unsigned long request, void *arg) {
    int r;
    do {
        r = ioctl(fd, request, arg);
    } while (r < 0 && errno == EINTR);
    return r;
}

tcflag_t DataBitsFlag(TByteSize size) {
    switch (size) {
    case TByteSize::_5: return CS5;
    case TByteSize::_6: return CS6;
    case TByteSize::_7: return CS7;
    case TByteSize::_8: break;
    }
    return CS8;
}

tcflag_t ParityFlags(TParity parity) {
    switch (parity) {
    case TParity::None: return 0;
    case TParity::Odd: return PARENB | PARODD;
    case TParity::Even: return PARENB;
    case TParity::Mark: return PARENB | PARODD | CMSPAR;
    case TParity::Space: return PARENB | CMSPAR;
    }
    return 0;
}

}  // namespace

bool ApplyPortLineSettings(int fd, const TPortLineSettings &s) {
    struct termios2 t {};
    if (Ioctl(fd, TCGETS2, &t) != 0)
        return false;

    // Raw byte stream: no line editing, echo, signals or character translation.
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK |
                   IGNPAR | IUCLC | IMAXBEL);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | CIBAUD);
    t.c_cflag |= CLOCAL | CREAD | BOTHER | DataBitsFlag(s.ByteSize) | ParityFlags(s.Parity);
    if (s.StopBits != TStopBits::_1)
        t.c_cflag |= CSTOPB;
    if (s.Outx_CtsFlow || s.RtsControl == TRtsControl::RtsHandshake)
        t.c_cflag |= CRTSCTS;
    // Input speed 0 in CIBAUD means "same as output".
    t.c_ospeed = s.BaudRate;
    t.c_ispeed = s.BaudRate;

    if (s.ParityCheck && s.ReplaceWhenParityError && s.Parity != TParity::None)
        t.c_iflag |= INPCK;
    if (s.Outx_XonXoffFlow)
        t.c_iflag |= IXON;
    if (s.Inx_XonXoffFlow)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);

    return Ioctl(fd, TCSETS2, &t) == 0;
}

bool QueryPortSpeed(int fd, uint32_t &speed) {
    struct termios2 t {};
    if (Ioctl(fd, TCGETS2, &t) != 0)
        return false;
    speed = t.c_ospeed;
    return true;
}
