#pragma once
// Threads for the decoding workers of a fuzz run, kept and reused: a job goes to an
// idle thread, or to a new one when every thread is busy, so workers still run
// side by side as they do on threads of their own. A fuzz run starts millions of
// workers; sanitizer runtimes keep a record of every thread ever started (about a
// kilobyte each under AddressSanitizer), so a thread per worker grows the process
// without end and slows every later thread start.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class TReusedThreads {
public:
    // The process-wide set; its threads live until the process ends.
    static TReusedThreads &Shared() {
        static TReusedThreads *threads = new TReusedThreads;  // never destroyed: threads wait in it at exit
        return *threads;
    }

    bool Start(std::function<void()> job) {
        std::lock_guard<std::mutex> lock(fMutex);
        if (fJobs.size() >= fIdle) {
            try {
                std::thread([this] { Serve(); }).detach();
            } catch (...) {
                return false;
            }
            ++fThreads;
        }
        fJobs.push_back(std::move(job));
        fQueued.notify_one();
        return true;
    }

    size_t Threads() {
        std::lock_guard<std::mutex> lock(fMutex);
        return fThreads;
    }

private:
    void Serve() {
        std::unique_lock<std::mutex> lock(fMutex);
        for (;;) {
            ++fIdle;
            fQueued.wait(lock, [this] { return !fJobs.empty(); });
            --fIdle;
            std::function<void()> job = std::move(fJobs.front());
            fJobs.pop_front();
            lock.unlock();
            job();
            job = nullptr;  // what the job holds goes before the thread waits again
            lock.lock();
        }
    }

    std::mutex fMutex;
    std::condition_variable fQueued;
    std::deque<std::function<void()>> fJobs;
    size_t fIdle = 0;
    size_t fThreads = 0;
};
