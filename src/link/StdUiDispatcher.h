#pragma once
// UI-thread dispatcher built on std primitives only: callers queue their procedure
// and wait on a condition variable; the thread that owns the dispatcher (its "UI
// thread") runs the queue in ProcessPending or WaitAndProcess. Used by the replay
// tool and the tests, where ThreadSanitizer must see every hand-off.

#include "link/UiDispatcher.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class TStdUiDispatcher : public TUiDispatcher {
public:
    // The constructing thread is the UI thread.
    TStdUiDispatcher();
    ~TStdUiDispatcher() override;

    bool RunOnUiAndWait(const std::function<void()> &fn) override;
    void ProcessPending() override;
    void Close() override;

    // Waits up to timeout for a queued call, then runs the queue. Returns the number
    // of calls run. Like ProcessPending, it does nothing off the UI thread.
    int WaitAndProcess(std::chrono::milliseconds timeout);

    bool IsUiThread() const { return std::this_thread::get_id() == fUiThread; }

private:
    enum class TJobState { Queued, Running, Done, Cancelled };
    struct TJob {
        const std::function<void()> *fn;
        TJobState state = TJobState::Queued;
    };
    int RunQueue(std::unique_lock<std::mutex> &lock);

    const std::thread::id fUiThread;
    std::mutex fMutex;
    std::condition_variable fQueued;    // a call was queued (the UI thread waits)
    std::condition_variable fFinished;  // a call ran or was cancelled (callers wait)
    std::deque<std::shared_ptr<TJob>> fQueue;
    bool fClosed = false;
};
