#pragma once
// The bounded queue of notices between the port threads of one open port and the
// component on the UI thread.
//
// The threads post; the first notice after a delivery wakes the owning thread (one
// payload-free wake-up, however many notices follow). When the queue is full the
// oldest notice is dropped to make room and counted, so a window that stops taking
// notices holds at most `limit` of them while the newest keep arriving in order.
// Hang-up requests are never dropped (each thread posts at most one): the oldest
// other notice goes instead.
//
// Once disconnected (the port was closed) nothing wakes the owner any more and
// posts are refused, so a port thread that outlives its port reaches nobody.

#include "serial/CommNotice.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

class TNoticeQueue final : public ICommNoticeSink {
public:
    // `wake` asks the owning thread to call BeginDelivery, then Take until it gives
    // nothing; it is
    // called from the posting thread and must not block; false when it failed.
    TNoticeQueue(size_t limit, std::function<bool()> wake);

    bool PostNotice(TCommNotice &&notice) override;  // from the port threads

    // Owning thread, as a delivery begins: the next post wakes it again, so a
    // handler that runs a nested event loop still gets the notices that follow.
    void BeginDelivery();
    // Owning thread: the oldest notice, or nothing.
    std::optional<TCommNotice> Take();
    // Owning thread: no more wake-ups or posts; queued notices are discarded.
    void Disconnect();

    uint64_t Dropped() const { return fDropped.load(); }
    size_t Queued() const;

private:
    const size_t fLimit;
    std::function<bool()> fWake;  // guarded by fMutex; empty once disconnected
    mutable std::mutex fMutex;
    std::deque<TCommNotice> fNotices;  // guarded by fMutex
    bool fWakePending = false;         // guarded by fMutex
    std::atomic<uint64_t> fDropped{0};
};
