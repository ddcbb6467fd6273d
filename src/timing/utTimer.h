#pragma once
// TZorvikTimer: calls OnTimerDo on the owning (UI) thread every TimeInterval
// milliseconds, driven by a thread of its own instead of a window timer.
//
// The next wait begins only after the handler has returned, so the spacing of two
// ticks is the interval plus the handler's run time; ticks never pile up and never
// overlap. Created disabled with an interval of 1000 ms; the thread sleeps without
// cost until Enable := true. Enable, OnTimerDo and destruction belong to the owning
// thread; TimeInterval may be set from any thread and applies from the next wait.
// After Enable := false no further OnTimerDo call is made, also not for a tick that
// was already on its way.

#include "timing/TimerEvents.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class TZorvikTimer;

class TZorvikTimerThread {
public:
    explicit TZorvikTimerThread(TZorvikTimer *timer);  // starts the thread at once
    ~TZorvikTimerThread();                             // terminates the thread and waits for it
    TZorvikTimerThread(const TZorvikTimerThread &) = delete;
    TZorvikTimerThread &operator=(const TZorvikTimerThread &) = delete;

    const std::shared_ptr<TTimerEvents> &Events() const { return fEvents; }

private:
    void Execute();
    bool DoTimerEvent();  // false when the thread was told to terminate meanwhile

    TZorvikTimer *FTimer;
    std::shared_ptr<TTimerEvents> fEvents;  // start, stop, terminate, exit, tick done
    bool fTerminated = false;               // thread's own
    std::thread fThread;
};

class TZorvikTimer : public QObject {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TZorvikTimer *Sender)>;

    explicit TZorvikTimer(QObject *owner = nullptr);
    ~TZorvikTimer() override;

    int32_t GetTimeInterval() const { return FTimeInterval.load(); }
    void SetTimeInterval(int32_t value) { FTimeInterval.exchange(value); }
    bool GetEnable() const { return FEnable; }
    void SetEnable(bool value);
    const TNotifyEvent &GetOnTimerDo() const { return FOnTimerDo; }
    void SetOnTimerDo(TNotifyEvent handler) { FOnTimerDo = std::move(handler); }

private slots:
    void DoTimerEvent();

private:
    friend class TZorvikTimerThread;
    void StartThread();
    void StopThread();

    std::atomic<int32_t> FTimeInterval{1000};
    TNotifyEvent FOnTimerDo;
    std::unique_ptr<TZorvikTimerThread> FTimerThread;
    bool FEnable = false;
};
