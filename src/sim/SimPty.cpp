#include "sim/SimPty.h"

#include "protocol/FrameBuild.h"
#include "sim/SimFaults.h"
#include "sim/SimModule.h"
#include "sim/SimTruth.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration;
using std::chrono::duration_cast;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// Silence around an answer, so the host receives it as one burst of its own.
constexpr milliseconds kAnswerGap{20};
// Time from a reboot to the "TYPE" line, and to the first frame after it.
constexpr milliseconds kBootTime{300};
constexpr milliseconds kFirstFrameDelay{200};
// After its last frame the module stays silent on the line this long before it
// vanishes: closing the device discards what the host has not read yet, and the
// last frame is to reach the host.
constexpr milliseconds kVanishLinger{250};

struct TMessage {
    TBytes bytes;
    bool frame = false;
};

Clock::duration Seconds(double s) {
    return duration_cast<Clock::duration>(duration<double>(s));
}

}  // namespace

TPtySimulator::TPtySimulator(const TSimOptions &options) : fOptions(options) {}

TPtySimulator::~TPtySimulator() {
    Stop();
}

std::string TPtySimulator::LastError() const {
    std::lock_guard<std::mutex> lock(fErrorMutex);
    return fError;
}

void TPtySimulator::SetError(const std::string &message) {
    std::lock_guard<std::mutex> lock(fErrorMutex);
    fError = message;
}

bool TPtySimulator::Start(std::string *error) {
    auto fail = [&](const std::string &what) {
        if (error)
            *error = what + ": " + std::strerror(errno);
        Stop();
        return false;
    };
    if (fThread.joinable())
        return true;
    fStop = false;
    fMaster = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fMaster < 0)
        return fail("cannot open a pseudo-terminal");
    if (grantpt(fMaster) != 0 || unlockpt(fMaster) != 0)
        return fail("cannot unlock the pseudo-terminal");
    char name[128];
    if (ptsname_r(fMaster, name, sizeof name) != 0)
        return fail("cannot name the pseudo-terminal");
    fDevicePath = name;

    termios tio{};
    if (tcgetattr(fMaster, &tio) != 0)
        return fail("cannot read the terminal settings");
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    if (tcsetattr(fMaster, TCSANOW, &tio) != 0)
        return fail("cannot set raw mode");

    // Open and close the device once: from then on the master side reports a
    // hang-up whenever no client has the device open.
    const int slave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return fail("cannot open " + fDevicePath);
    close(slave);

    if (pipe2(fWake, O_NONBLOCK | O_CLOEXEC) != 0)
        return fail("cannot create a wake-up pipe");

    TTruthWriter probe;
    std::string truthError;
    if (!probe.Open(fOptions.truthDir, &truthError)) {
        if (error)
            *error = truthError;
        Stop();
        return false;
    }
    fThread = std::thread([this] { Run(); });
    return true;
}

void TPtySimulator::Stop() {
    fStop = true;
    if (fWake[1] >= 0) {
        const char c = 1;
        (void)!write(fWake[1], &c, 1);
    }
    if (fThread.joinable())
        fThread.join();
    for (int *fd : {&fMaster, &fWake[0], &fWake[1]}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
    fConnected = false;
}

void TPtySimulator::Run() {
    const Clock::time_point t0 = Clock::now();
    auto sessionSeconds = [&](Clock::time_point t) { return duration<double>(t - t0).count(); };
    const bool pacing = fOptions.pacing;

    TModuleCore core(fOptions);
    TLineFaults faults(fOptions);
    TTruthWriter truth;
    std::string error;
    if (!truth.Open(fOptions.truthDir, &error))
        SetError(error);
    double temperatures[768];

    std::deque<TMessage> queue;
    TMessage current;
    bool busy = false;
    size_t offset = 0;
    Clock::time_point currentStart = t0;
    Clock::time_point lastEnd = t0;
    bool lastWasAnswer = false;
    Clock::time_point bootDone = t0;  // nothing is sent before (boot, or a stall)
    bool vanishing = false;           // the last frame is out: nothing more is sent
    Clock::time_point vanishAt = t0;
    Clock::time_point nextFrame = t0 + kFirstFrameDelay;
    queue.push_back({TypeLine(), false});

    auto gapBefore = [&](bool nextIsAnswer) {
        return pacing && (nextIsAnswer || lastWasAnswer) ? Clock::duration(kAnswerGap) : Clock::duration(0);
    };

    while (!fStop.load()) {
        Clock::time_point now = Clock::now();
        if (vanishing && now >= vanishAt) {
            // Unplugged: the device goes away and the client's line hangs up (the
            // flags first, so a client that sees the hang-up sees them too).
            fConnected = false;
            fVanished = true;
            close(fMaster);
            fMaster = -1;
            return;
        }

        pollfd probe{fMaster, 0, 0};
        const bool connected = poll(&probe, 1, 0) >= 0 && (probe.revents & (POLLHUP | POLLERR)) == 0;
        fConnected = connected;

        // A live frame when it is due and the line is free.
        if (!vanishing && core.Streaming() && !busy && queue.empty() && now >= nextFrame && now >= bootDone &&
            now >= lastEnd + gapBefore(false)) {
            if (connected) {
                queue.push_back(
                    {core.NextFrame(sessionSeconds(now), truth.Enabled() ? temperatures : nullptr), true});
                if (truth.Enabled() && !truth.Write(temperatures, &error)) {
                    SetError(error);
                    truth = TTruthWriter();
                }
            }
            nextFrame += Seconds(core.FramePeriod());
            if (nextFrame < now)
                nextFrame = now;  // behind (line too slow): no catching up in bursts
        }

        // Next message onto the line.
        if (!vanishing && !busy && !queue.empty() && now >= bootDone &&
            now >= lastEnd + gapBefore(!queue.front().frame)) {
            current = std::move(queue.front());
            queue.pop_front();
            faults.Apply(current.bytes);
            busy = true;
            offset = 0;
            currentStart = now;
        }

        Clock::time_point wakeAt = now + milliseconds(50);
        bool waitWritable = false;
        if (busy) {
            const size_t size = current.bytes.size();
            size_t allowed = size;
            if (!connected) {
                offset = size;  // nobody listens: the bytes are lost
            } else {
                if (pacing) {
                    // Piece k is delivered when its last byte has crossed the line
                    // at ten bits per byte.
                    const double bytesPerSecond = core.LineSpeed() / 10.0;
                    const double onLine = sessionSeconds(now) - sessionSeconds(currentStart);
                    const size_t crossed = static_cast<size_t>(onLine * bytesPerSecond);
                    const size_t piece = std::max<size_t>(1, fOptions.pieceBytes);
                    allowed = crossed >= size ? size : crossed / piece * piece;
                    if (allowed < size) {
                        const size_t nextEdge = std::min(size, allowed + piece);
                        wakeAt = std::min(wakeAt, currentStart + Seconds(nextEdge / bytesPerSecond));
                    }
                }
                while (offset < allowed) {
                    const ssize_t n = write(fMaster, current.bytes.data() + offset, allowed - offset);
                    if (n > 0) {
                        offset += static_cast<size_t>(n);
                        fBytesSent += static_cast<uint64_t>(n);
                    } else if (n < 0 && errno == EINTR) {
                        continue;
                    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                        waitWritable = true;  // the client does not read fast enough
                        break;
                    } else {
                        offset = size;  // client gone
                        break;
                    }
                }
            }
            if (offset >= size) {
                busy = false;
                lastEnd = now;
                lastWasAnswer = !current.frame;
                if (current.frame) {
                    uint64_t sent = fFramesSent.load();
                    if (connected)
                        sent = ++fFramesSent;
                    nextFrame = std::max(nextFrame, now + milliseconds(core.MinIntervalMs()));
                    if (connected && fOptions.vanishAfter >= 0 && sent >= uint64_t(fOptions.vanishAfter)) {
                        vanishing = true;
                        vanishAt = now + kVanishLinger;
                    } else if (connected && fOptions.stallEvery > 0 && fOptions.stallMs > 0 &&
                               sent % uint64_t(fOptions.stallEvery) == 0) {
                        // The module falls silent; frames due meanwhile are never sent.
                        bootDone = std::max(bootDone, now + milliseconds(fOptions.stallMs));
                        nextFrame = std::max(nextFrame, bootDone);
                    }
                }
                continue;  // see at once whether something else is due
            }
        }

        // Sleep until something is due, a command arrives or Stop() wakes us.
        if (!busy) {
            if (!queue.empty())
                wakeAt = std::min(wakeAt, std::max(bootDone, lastEnd + gapBefore(!queue.front().frame)));
            else if (core.Streaming())
                wakeAt = std::min(wakeAt, std::max({nextFrame, bootDone, lastEnd + gapBefore(false)}));
        }
        if (!connected)
            wakeAt = std::min(wakeAt, now + milliseconds(20));  // look for a client
        if (vanishing)
            wakeAt = std::min(wakeAt, vanishAt);
        pollfd fds[2] = {{fWake[0], POLLIN, 0},
                         {fMaster, static_cast<short>(POLLIN | (waitWritable ? POLLOUT : 0)), 0}};
        const nanoseconds wait = std::max(nanoseconds(0), duration_cast<nanoseconds>(wakeAt - Clock::now()));
        timespec ts{static_cast<time_t>(wait.count() / 1000000000),
                    static_cast<long>(wait.count() % 1000000000)};
        if (ppoll(fds, connected ? 2 : 1, &ts, nullptr) < 0 && errno != EINTR)
            break;

        if (fds[0].revents & POLLIN) {
            char drain[16];
            while (read(fWake[0], drain, sizeof drain) > 0) {
            }
        }
        if (connected && (fds[1].revents & POLLIN)) {
            uint8_t rx[512];
            const ssize_t n = read(fMaster, rx, sizeof rx);
            if (n > 0) {
                now = Clock::now();
                std::vector<TBytes> answers;
                core.Receive(rx, static_cast<size_t>(n), sessionSeconds(now), answers);
                for (TBytes &a : answers)
                    queue.push_back({std::move(a), false});
                if (core.TakeRebootRequest()) {
                    // The module restarts at once: what it was sending is cut off.
                    core.Reboot();
                    busy = false;
                    queue.clear();
                    lastEnd = now;
                    lastWasAnswer = false;
                    bootDone = pacing ? now + kBootTime : now;
                    nextFrame = bootDone + (pacing ? Clock::duration(kFirstFrameDelay) : Clock::duration(0));
                    queue.push_back({TypeLine(), false});
                }
            }
        }
    }
}
