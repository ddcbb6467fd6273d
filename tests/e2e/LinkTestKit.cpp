#include "e2e/LinkTestKit.h"

#include "protocol/FrameBuild.h"
#include "serial/SPComm.h"
#include "ui/WindowUnderTest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

TPtyModule::TPtyModule() {
    fMaster = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (fMaster < 0 || grantpt(fMaster) != 0 || unlockpt(fMaster) != 0 ||
        ptsname_r(fMaster, name, sizeof name) != 0) {
        CloseMaster();
        return;
    }
    termios tio{};
    if (tcgetattr(fMaster, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fMaster, TCSANOW, &tio);
    }
    fSlavePath = QString::fromLocal8Bit(name);
}

TPtyModule::~TPtyModule() {
    CloseMaster();
}

void TPtyModule::CloseMaster() {
    if (fMaster >= 0)
        close(fMaster);
    fMaster = -1;
}

bool TPtyModule::Write(const QByteArray &bytes) {
    qsizetype done = 0;
    QElapsedTimer clock;
    clock.start();
    while (fMaster >= 0 && done < bytes.size() && clock.elapsed() < 5000) {
        const ssize_t n = write(fMaster, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } else {
            return false;
        }
    }
    return done == bytes.size();
}

QByteArray TPtyModule::ReadAvailable() {
    QByteArray got;
    if (fMaster < 0)
        return got;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fMaster, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    return got;
}

QByteArray TPtyModule::ReadUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs) {
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (!done(got) && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents();
        pollfd p{fMaster, POLLIN, 0};
        if (fMaster >= 0 && poll(&p, 1, 2) > 0 && (p.revents & POLLIN))
            got += ReadAvailable();
    }
    return got;
}

QByteArray TPtyModule::ReadFor(int ms) {
    return ReadUntil([](const QByteArray &) { return false; }, ms);
}

QByteArray TPtyModule::ReadCount(int count, int timeoutMs) {
    return ReadUntil([count](const QByteArray &got) { return got.size() >= count; }, timeoutMs);
}

void TPtyModule::Drain() {
    QCoreApplication::processEvents();
    ReadFor(30);
}

TComm *Comm1Of(TWindowUnderTest &form) {
    return &form.Session().Comm1();
}

bool PumpUntil(const std::function<bool()> &done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool ConnectWindow(TWindowUnderTest &form, const QString &port, bool keepTimer3) {
    {
        const QSignalBlocker blocker(form.cbb_Port);
        form.cbb_Port->setEditText(port);
    }
    form.btn_Connect->click();
    if (!keepTimer3)
        form.Timer3->stop();
    return form.Session().IsConnected() && form.btn_Connect->text() == form.Form().GetDisConnectPortCaption();
}

bool DisconnectWindow(TWindowUnderTest &form) {
    form.btn_Connect->click();
    return !form.Session().IsConnected() && form.btn_Connect->text() == form.Form().GetConnectPortCaption();
}

QByteArray SysFrameBytes(const std::array<uint16_t, 32> &words) {
    const TBytes frame = BuildSysFrame(words);
    return QByteArray(reinterpret_cast<const char *>(frame.data()), qsizetype(frame.size()));
}
