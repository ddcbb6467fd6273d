#include "link/LinkCore.h"

#include <chrono>

TLinkCore::TLinkCore(TLinkHooks hooks) : Hooks(std::move(hooks)), RecvedFrmDatas(MergeBufferWords, 0) {}

bool TLinkCore::RunOnUiAndWait(const std::function<void()> &fn) {
    if (!Hooks.Dispatcher)
        return false;
    {
        std::lock_guard<std::mutex> lock(fIdleMutex);
        ++fUiRequests;
        fIdleChanged.notify_all();
    }
    // While fn runs on the UI thread this worker waits for it: a WaitIdle nested in fn
    // must not wait for the worker in turn.
    const bool ran = Hooks.Dispatcher->RunOnUiAndWait([&] {
        {
            std::lock_guard<std::mutex> lock(fIdleMutex);
            ++fUiCallsRunning;
        }
        struct TDone {
            TLinkCore *core;
            ~TDone() {
                std::lock_guard<std::mutex> lock(core->fIdleMutex);
                --core->fUiCallsRunning;
            }
        } done{this};
        fn();
    });
    std::lock_guard<std::mutex> lock(fIdleMutex);
    --fUiRequests;
    fIdleChanged.notify_all();
    return ran;
}

void TLinkCore::WorkerStarting() {
    std::lock_guard<std::mutex> lock(fIdleMutex);
    ++fRunningWorkers;
}

void TLinkCore::WorkerFinished() {
    std::lock_guard<std::mutex> lock(fIdleMutex);
    --fRunningWorkers;
    fIdleChanged.notify_all();
}

bool TLinkCore::IsIdle() {
    std::lock_guard<std::mutex> lock(fIdleMutex);
    return fRunningWorkers == 0;
}

int TLinkCore::RunningWorkers() {
    std::lock_guard<std::mutex> lock(fIdleMutex);
    return fRunningWorkers;
}

void TLinkCore::WaitIdle() {
    std::unique_lock<std::mutex> lock(fIdleMutex);
    // Workers whose UI-thread call is running are waiting for this very thread.
    auto waitingFor = [&] { return fRunningWorkers - fUiCallsRunning; };
    while (waitingFor() > 0) {
        if (fUiRequests > fUiCallsRunning && Hooks.Dispatcher) {
            lock.unlock();
            Hooks.Dispatcher->ProcessPending();
            lock.lock();
            // The request may not be queued yet; look again shortly.
            fIdleChanged.wait_for(lock, std::chrono::microseconds(200));
        } else {
            fIdleChanged.wait(lock, [&] { return waitingFor() <= 0 || fUiRequests > fUiCallsRunning; });
        }
    }
}
