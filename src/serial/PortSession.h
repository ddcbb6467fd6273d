#pragma once
// What the reading and writing threads of one open port share with the component.
//
// The component and both threads own it jointly. The last owner closes the device
// (releasing its exclusive claim): normally the component as it stops the port, but
// a thread that outlived the stop's waiting limit keeps the descriptor open until it
// ends, so it never reads from or writes to a reused descriptor number.

#include "serial/NoticeQueue.h"
#include "serial/PortThread.h"
#include "serial/WakeEvent.h"

#include <atomic>
#include <functional>
#include <memory>

struct TPortSession {
    explicit TPortSession(int fd) : Fd(fd) {}
    ~TPortSession();
    TPortSession(const TPortSession &) = delete;
    TPortSession &operator=(const TPortSession &) = delete;

    const int Fd;
    TWakeEvent CloseEvent;  // the one stop signal of both threads
    std::atomic<bool> SendDataEmpty{true};
    std::shared_ptr<TNoticeQueue> Notices;
    // Runs on each port thread as it ends, before it lets go of the port (tests hold
    // a thread up here). Set before the threads start.
    std::function<void(TPortThreadRole)> ThreadEndHook;
};
