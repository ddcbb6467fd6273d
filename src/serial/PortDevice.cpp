#include "serial/PortDevice.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

TPortOpenResult OpenPortDevice(const std::string &path, int &fd, int &error) {
    fd = -1;
    error = 0;
    if (path.empty()) {
        error = ENOENT;
        return TPortOpenResult::CannotOpen;
    }
    int f;
    do {
        f = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (f < 0 && errno == EINTR);
    if (f < 0) {
        error = errno;
        return TPortOpenResult::CannotOpen;
    }

    struct stat st {};
    if (fstat(f, &st) != 0 || !S_ISCHR(st.st_mode) || !isatty(f)) {
        close(f);
        error = ENOTTY;
        return TPortOpenResult::NotCommDevice;
    }
    if (flock(f, LOCK_EX | LOCK_NB) != 0 || ioctl(f, TIOCEXCL) != 0) {
        error = errno;
        close(f);
        return TPortOpenResult::CannotOpen;
    }
    fd = f;
    return TPortOpenResult::Opened;
}

TOpenFailure ClassifyOpenError(int error) {
    switch (error) {
    case 0: return TOpenFailure::None;
    case ENOENT:
    case ENODEV:
    case ENXIO: return TOpenFailure::NoSuchDevice;
    case EACCES:
    case EPERM: return TOpenFailure::NoPermission;
    case EBUSY:
    case EWOULDBLOCK: return TOpenFailure::InUse;
    case ENOTTY: return TOpenFailure::NotSerial;
    default: return TOpenFailure::Other;
    }
}

void ClosePortDevice(int fd) {
    if (fd < 0)
        return;
    ioctl(fd, TIOCNXCL);
    flock(fd, LOCK_UN);
    close(fd);
}

void PurgePort(int fd, TPurge which) {
    if (fd < 0)
        return;
    tcflush(fd, which == TPurge::Input ? TCIFLUSH : which == TPurge::Output ? TCOFLUSH : TCIOFLUSH);
}
