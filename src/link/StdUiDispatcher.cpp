#include "link/StdUiDispatcher.h"

TStdUiDispatcher::TStdUiDispatcher() : fUiThread(std::this_thread::get_id()) {}

TStdUiDispatcher::~TStdUiDispatcher() {
    Close();
}

bool TStdUiDispatcher::RunOnUiAndWait(const std::function<void()> &fn) {
    if (IsUiThread()) {
        {
            std::lock_guard<std::mutex> lock(fMutex);
            if (fClosed)
                return false;
        }
        fn();
        return true;
    }
    auto job = std::make_shared<TJob>();
    job->fn = &fn;
    std::unique_lock<std::mutex> lock(fMutex);
    if (fClosed)
        return false;
    fQueue.push_back(job);
    fQueued.notify_all();
    fFinished.wait(lock, [&] { return job->state == TJobState::Done || job->state == TJobState::Cancelled; });
    return job->state == TJobState::Done;
}

int TStdUiDispatcher::RunQueue(std::unique_lock<std::mutex> &lock) {
    int count = 0;
    while (!fQueue.empty()) {
        std::shared_ptr<TJob> job = fQueue.front();
        fQueue.pop_front();
        job->state = TJobState::Running;
        lock.unlock();
        try {
            (*job->fn)();
        } catch (...) {
            // The caller's procedure failed on the UI thread; the caller is released
            // all the same.
        }
        lock.lock();
        job->state = TJobState::Done;
        fFinished.notify_all();
        ++count;
    }
    return count;
}

void TStdUiDispatcher::ProcessPending() {
    if (!IsUiThread())
        return;  // the queue runs on the UI thread only
    std::unique_lock<std::mutex> lock(fMutex);
    RunQueue(lock);
}

int TStdUiDispatcher::WaitAndProcess(std::chrono::milliseconds timeout) {
    if (!IsUiThread())
        return 0;
    std::unique_lock<std::mutex> lock(fMutex);
    fQueued.wait_for(lock, timeout, [&] { return !fQueue.empty() || fClosed; });
    return RunQueue(lock);
}

void TStdUiDispatcher::Close() {
    std::lock_guard<std::mutex> lock(fMutex);
    fClosed = true;
    for (auto &job : fQueue)
        job->state = TJobState::Cancelled;
    fQueue.clear();
    fQueued.notify_all();
    fFinished.notify_all();
}
