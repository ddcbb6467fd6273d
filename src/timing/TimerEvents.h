#pragma once
// A small set of manual-reset events with a wait for the first of several of them:
// what the periodic timer thread and the UI thread use to talk to each other.

#include <array>
#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <mutex>
#include <optional>

class TTimerEvents {
public:
    enum TEvent { Start, Stop, Terminate, Exit, TickDone, Count };

    void Set(TEvent e);
    void Reset(TEvent e);
    bool IsSet(TEvent e) const;
    // Sets one event and clears another in one step.
    void SetAndReset(TEvent set, TEvent reset);

    // Waits for the first of `events` that is set, checking them in the given order,
    // and returns it; returns Count when the time-out passes first. No time-out
    // means wait without limit; a time-out of 0 or less only looks.
    TEvent WaitAny(std::initializer_list<TEvent> events,
                   std::optional<std::chrono::milliseconds> timeout = std::nullopt);

private:
    TEvent FirstSet(std::initializer_list<TEvent> events) const;

    mutable std::mutex fMutex;
    std::condition_variable fChanged;
    std::array<bool, Count> fSet{};  // guarded by fMutex
};
