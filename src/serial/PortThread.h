#pragma once
// Starting and stopping the port's reading and writing threads.
//
// Each thread raises its own scheduling priority as it starts (best effort, see
// RaiseThreadPriority) and carries a name ("korvale-read", "korvale-write") that
// shows in /proc/self/task/*/comm, top -H and debuggers.
//
// Stopping waits a limited time: a thread that has not ended by then is detached and
// ends on its own later. Whatever such a thread uses must therefore be owned jointly
// by the thread (shared_ptr), never borrowed from the component.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

enum class TPortThreadRole { Read, Write };

// Nice levels each port thread is raised above the thread that starts it: the
// reading thread two, the writing thread one (the component's "highest" and "above
// normal" thread priorities). Linux nice values are per thread.
constexpr int kReadThreadPriorityRaise = 2;
constexpr int kWriteThreadPriorityRaise = 1;

// Raises the calling thread's priority by `steps` nice levels, at most to -20 (the
// highest level of the normal time-sharing policy). Where the system refuses
// (lowering a nice value needs CAP_SYS_NICE or a matching RLIMIT_NICE) the thread
// keeps the level it has, silently. Returns whether the level was raised.
bool RaiseThreadPriority(int steps);

class TPortThread {
public:
    TPortThread() = default;
    ~TPortThread();  // waits for a thread that was neither finished nor let go
    TPortThread(const TPortThread &) = delete;
    TPortThread &operator=(const TPortThread &) = delete;

    // Runs `body` on a new thread with the role's name and priority. False when the
    // thread cannot be created (errno then holds the reason).
    bool Start(TPortThreadRole role, std::function<void()> body);

    // Waits at most `limit` for the body to return. True when it has (the thread is
    // joined) or no thread runs; false when it is still running: it is then
    // detached and goes on alone. Called from the thread itself it does not wait.
    bool Finish(std::chrono::milliseconds limit);

private:
    struct TState {
        std::mutex Mutex;
        std::condition_variable Done;
        bool Ended = false;  // guarded by Mutex
    };
    std::shared_ptr<TState> fState;
    std::thread fThread;
};
