#include "serial/PortThread.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

bool RaiseThreadPriority(int steps) {
    const pid_t tid = gettid();
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, tid);
    if (current == -1 && errno != 0)
        return false;
    const int target = std::max(-20, current - steps);
    return target < current && setpriority(PRIO_PROCESS, tid, target) == 0;
}

TPortThread::~TPortThread() {
    if (!fThread.joinable())
        return;
    if (fThread.get_id() == std::this_thread::get_id())
        fThread.detach();  // the thread let go of the last owner of this object
    else
        fThread.join();
}

bool TPortThread::Start(TPortThreadRole role, std::function<void()> body) {
    auto state = std::make_shared<TState>();
    try {
        fThread = std::thread([state, role, body = std::move(body)] {
            pthread_setname_np(pthread_self(),
                               role == TPortThreadRole::Read ? "korvale-read" : "korvale-write");
            RaiseThreadPriority(role == TPortThreadRole::Read ? kReadThreadPriorityRaise
                                                              : kWriteThreadPriorityRaise);
            body();
            {
                std::lock_guard<std::mutex> lock(state->Mutex);
                state->Ended = true;
            }
            state->Done.notify_all();
        });
    } catch (const std::system_error &e) {
        errno = e.code().value();
        return false;
    }
    fState = std::move(state);
    return true;
}

bool TPortThread::Finish(std::chrono::milliseconds limit) {
    if (!fThread.joinable())
        return true;
    if (fThread.get_id() == std::this_thread::get_id())
        return false;
    bool ended;
    {
        std::unique_lock<std::mutex> lock(fState->Mutex);
        ended = fState->Done.wait_for(lock, limit, [this] { return fState->Ended; });
    }
    if (ended)
        fThread.join();  // the body has returned: only the thread's exit is left
    else
        fThread.detach();
    return ended;
}
