#include "timing/TimerEvents.h"

void TTimerEvents::Set(TEvent e) {
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fSet[e] = true;
    }
    fChanged.notify_all();
}

void TTimerEvents::Reset(TEvent e) {
    std::lock_guard<std::mutex> lock(fMutex);
    fSet[e] = false;
}

bool TTimerEvents::IsSet(TEvent e) const {
    std::lock_guard<std::mutex> lock(fMutex);
    return fSet[e];
}

void TTimerEvents::SetAndReset(TEvent set, TEvent reset) {
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fSet[reset] = false;
        fSet[set] = true;
    }
    fChanged.notify_all();
}

TTimerEvents::TEvent TTimerEvents::FirstSet(std::initializer_list<TEvent> events) const {
    for (TEvent e : events)
        if (fSet[e])
            return e;
    return Count;
}

TTimerEvents::TEvent TTimerEvents::WaitAny(std::initializer_list<TEvent> events,
                                           std::optional<std::chrono::milliseconds> timeout) {
    std::unique_lock<std::mutex> lock(fMutex);
    if (!timeout) {
        fChanged.wait(lock, [&] { return FirstSet(events) != Count; });
        return FirstSet(events);
    }
    const auto deadline = std::chrono::steady_clock::now() + *timeout;
    fChanged.wait_until(lock, deadline, [&] { return FirstSet(events) != Count; });
    return FirstSet(events);
}
