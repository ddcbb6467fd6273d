#include "serial/PtyPair.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

TPtyPair::TPtyPair() {
    fMaster = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (fMaster < 0 || grantpt(fMaster) != 0 || unlockpt(fMaster) != 0 ||
        ptsname_r(fMaster, name, sizeof name) != 0) {
        ADD_FAILURE() << "cannot create a pseudo-terminal pair";
        CloseMaster();
        return;
    }
    fSlavePath = name;
}

TPtyPair::~TPtyPair() {
    CloseMaster();
}

void TPtyPair::CloseMaster() {
    if (fMaster >= 0)
        close(fMaster);
    fMaster = -1;
}

void TPtyPair::Write(const std::vector<uint8_t> &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fMaster, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ASSERT_GT(n, 0) << "write to the master side failed, errno " << errno;
        done += size_t(n);
    }
}

void TPtyPair::Write(const std::string &text) {
    Write(std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> TPtyPair::Read(size_t count, std::chrono::milliseconds timeout) {
    std::vector<uint8_t> got;
    QElapsedTimer clock;
    clock.start();
    while (got.size() < count && clock.elapsed() < timeout.count()) {
        QCoreApplication::processEvents();
        struct pollfd p {
            fMaster, POLLIN, 0
        };
        if (poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN))
            continue;
        uint8_t buffer[4096];
        const ssize_t n = read(fMaster, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout.count())
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

std::vector<uint8_t> Pattern(size_t count, uint8_t start) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = uint8_t((start + i) % 251);
    return bytes;
}
