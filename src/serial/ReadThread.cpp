#include "serial/ReadThread.h"

#include "serial/LineEvents.h"
#include "serial/PortDevice.h"
#include "serial/PortSession.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <optional>

#include <poll.h>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How often the driver's error and modem counters are looked at, where it has them.
constexpr milliseconds kLineCheckPeriod{100};

// After a read, bytes are left to gather in the driver for up to this long (and never
// more than half the read interval) before the next one. A USB bridge hands over a
// 1748-byte frame in some thirty pieces; reading each as it lands would wake this
// thread 1750 times a second at 64 frames a second.
constexpr std::chrono::microseconds kGatherLimit{2000};

// An interval of 0xFFFFFFFF means "return what is there at once", as 0 does here.
uint32_t IntervalMs(const TReadSettings &s) {
    const uint32_t v = s.ReadIntervalTimeout.load();
    return v == UINT32_MAX ? 0 : v;
}

uint64_t TotalMs(const TReadSettings &s) {
    return uint64_t(s.ReadTotalTimeoutMultiplier.load()) * INPUTBUFFERSIZE +
           s.ReadTotalTimeoutConstant.load();
}

// How long to let bytes gather after a read: nothing when the interval asks for
// what is there at once.
std::chrono::microseconds GatherTime(const TReadSettings &s) {
    const auto half = std::chrono::microseconds(uint64_t(IntervalMs(s)) * 500);
    return std::min(half, kGatherLimit);
}

int PollTimeout(std::optional<TClock::time_point> deadline) {
    if (!deadline)
        return -1;
    const auto left = std::chrono::ceil<milliseconds>(*deadline - TClock::now()).count();
    return int(std::clamp<int64_t>(left, 0, INT_MAX));
}

void Earliest(std::optional<TClock::time_point> &deadline, TClock::time_point t) {
    if (!deadline || t < *deadline)
        deadline = t;
}

}  // namespace

TReadThread::TReadThread(std::shared_ptr<TPortSession> session, std::shared_ptr<const TReadSettings> settings)
    : fSession(std::move(session)), fSettingsOwner(std::move(settings)), hCommFile(fSession->Fd),
      hCloseEvent(fSession->CloseEvent.Fd()), fSettings(*fSettingsOwner), fSink(*fSession->Notices) {}

bool TReadThread::Start() {
    return fSettingsChanged.Create() &&
           fThread.Start(TPortThreadRole::Read, [self = shared_from_this()] { self->Execute(); });
}

bool TReadThread::Finish(std::chrono::milliseconds limit) {
    return fThread.Finish(limit);
}

void TReadThread::SettingsChanged() {
    if (fSettingsChanged.IsValid())
        fSettingsChanged.Set();
}

bool TReadThread::PostChunk(const uint8_t *bytes, int count) {
    TCommNotice notice;
    notice.Kind = TCommNotice::TKind::GotCommData;
    // Exactly count + 1 bytes: queued chunks are what a stalled window holds.
    notice.Data.reserve(size_t(count) + 1);
    notice.Data.assign(bytes, bytes + count);
    notice.Data.push_back(0);
    return fSink.PostNotice(std::move(notice));
}

void TReadThread::PostSimple(TCommNotice::TKind kind, uint32_t bits) {
    TCommNotice notice;
    notice.Kind = kind;
    notice.Bits = bits;
    fSink.PostNotice(std::move(notice));
}

bool TReadThread::Gather(std::chrono::steady_clock::time_point since) {
    const std::chrono::microseconds gather = GatherTime(fSettings);
    if (gather.count() <= 0)
        return true;
    // Bytes that land meanwhile count as read at the next read: a silence is never
    // cut short, and one ends at most `gather` later than the line fell silent.
    const auto until = since + gather;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(until - TClock::now());
        if (left.count() <= 0)
            return true;
        const timespec wait{time_t(left.count() / 1000000), long(left.count() % 1000000) * 1000};
        struct pollfd fds[2] = {{hCloseEvent, POLLIN, 0}, {fSettingsChanged.Fd(), POLLIN, 0}};
        const int r = ppoll(fds, 2, &wait, nullptr);
        if (r < 0 && errno == EINTR)
            continue;
        // The close event ends the thread; new settings are read by the main wait.
        return r <= 0 || fds[0].revents == 0;
    }
}

void TReadThread::Execute() {
    std::array<uint8_t, INPUTBUFFERSIZE> buffer;
    int inHand = 0;

    TLineCounters counters;
    const bool haveCounters = ReadLineCounters(hCommFile, counters);

    auto readStart = TClock::now();
    auto lastByte = readStart;
    auto nextLineCheck = readStart + kLineCheckPeriod;

    // Posts what is in hand; false when even that failed (the thread then stops).
    auto flush = [&]() -> bool {
        const bool ok = inHand == 0 || PostChunk(buffer.data(), inHand);
        inHand = 0;
        readStart = TClock::now();
        return ok;
    };
    // The device went away or failed: hand over what arrived, ask for a hang-up.
    auto lost = [&] {
        flush();
        PostSimple(TCommNotice::TKind::RequestHangup);
    };

    for (;;) {
        std::optional<TClock::time_point> deadline;
        const uint64_t totalMs = TotalMs(fSettings);
        if (totalMs > 0)
            Earliest(deadline, readStart + milliseconds(totalMs));
        if (inHand > 0)
            Earliest(deadline, lastByte + milliseconds(IntervalMs(fSettings)));
        if (haveCounters)
            Earliest(deadline, nextLineCheck);

        struct pollfd fds[3] = {
            {hCommFile, POLLIN, 0}, {hCloseEvent, POLLIN, 0}, {fSettingsChanged.Fd(), POLLIN, 0}};
        const int r = poll(fds, 3, PollTimeout(deadline));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            lost();
            break;
        }
        if (fds[1].revents != 0)
            break;  // close event
        if (fds[2].revents != 0)
            fSettingsChanged.Consume();
        if (fds[0].revents & POLLNVAL)
            break;  // the port was closed under the thread

        bool gotBytes = false;
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t got = read(hCommFile, buffer.data() + inHand, size_t(INPUTBUFFERSIZE - inHand));
            if (got > 0) {
                int kept = int(got);
                if (fSettings.IgnoreNullChar.load()) {
                    uint8_t *first = buffer.data() + inHand;
                    kept = int(std::remove(first, first + got, uint8_t(0)) - first);
                }
                inHand += kept;
                lastByte = TClock::now();
                gotBytes = true;
                if (inHand == INPUTBUFFERSIZE && !flush())
                    break;
                if (!Gather(lastByte))
                    break;
            } else if (got < 0 && errno == EBADF) {
                break;
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR) ||
                       (fds[0].revents & (POLLHUP | POLLERR))) {
                lost();
                break;
            }
        }

        const auto now = TClock::now();
        if (haveCounters && now >= nextLineCheck) {
            TLineCounters current;
            if (ReadLineCounters(hCommFile, current)) {
                const TLineEvents events = CompareLineCounters(counters, current);
                counters = current;
                if (events.ErrorBits != 0)
                    PostSimple(TCommNotice::TKind::ReceiveError, events.ErrorBits);
                if (events.ModemBits != 0)
                    PostSimple(TCommNotice::TKind::ModemStateChange, events.ModemBits);
            }
            nextLineCheck = now + kLineCheckPeriod;
        }
        // Right after a read, look for more bytes before judging the silence.
        const bool silent = !gotBytes && inHand > 0 && now >= lastByte + milliseconds(IntervalMs(fSettings));
        const bool totalUp = totalMs > 0 && now >= readStart + milliseconds(totalMs);
        if ((silent || totalUp) && !flush())
            break;
    }
    if (fSession->ThreadEndHook)
        fSession->ThreadEndHook(TPortThreadRole::Read);
    PurgePort(hCommFile, TPurge::Input);
}
