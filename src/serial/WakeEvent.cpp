#include "serial/WakeEvent.h"

#include <cstdint>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

TWakeEvent::~TWakeEvent() {
    Close();
}

bool TWakeEvent::Create() {
    Close();
    fFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return fFd >= 0;
}

void TWakeEvent::Close() {
    if (fFd >= 0)
        close(fFd);
    fFd = -1;
}

void TWakeEvent::Set() {
    const uint64_t one = 1;
    // A full counter is still readable, so a failed write loses nothing.
    [[maybe_unused]] ssize_t r = write(fFd, &one, sizeof one);
}

bool TWakeEvent::IsSet() const {
    struct pollfd p {
        fFd, POLLIN, 0
    };
    return poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

void TWakeEvent::Consume() {
    uint64_t value;
    [[maybe_unused]] ssize_t r = read(fFd, &value, sizeof value);
}
