#include "timing/utTimer.h"

#include <QMetaObject>

using std::chrono::milliseconds;

namespace {
constexpr milliseconds kExitWait{5000};
}

TZorvikTimerThread::TZorvikTimerThread(TZorvikTimer *timer)
    : FTimer(timer), fEvents(std::make_shared<TTimerEvents>()) {
    fThread = std::thread([this] { Execute(); });
}

TZorvikTimerThread::~TZorvikTimerThread() {
    fEvents->Set(TTimerEvents::Terminate);
    fEvents->WaitAny({TTimerEvents::Exit}, kExitWait);
    if (fThread.joinable())
        fThread.join();
}

void TZorvikTimerThread::Execute() {
    using E = TTimerEvents;
    auto doTerminate = [this] {
        fEvents->Reset(E::Terminate);
        fTerminated = true;
    };
    while (!fTerminated) {
        switch (fEvents->WaitAny({E::Start, E::Terminate, E::Stop})) {
        case E::Start:
            fEvents->Reset(E::Start);
            while (!fTerminated) {
                const milliseconds interval{FTimer->FTimeInterval.load()};
                const E::TEvent e = fEvents->WaitAny({E::Stop, E::Terminate}, interval);
                if (e == E::Stop) {
                    fEvents->Reset(E::Stop);
                    break;
                }
                if (e == E::Terminate || !DoTimerEvent())
                    doTerminate();
            }
            break;
        case E::Terminate: doTerminate(); break;
        default:  // a stop while not ticking is simply consumed
            fEvents->Reset(E::Stop);
            break;
        }
    }
    fEvents->Set(E::Exit);
}

// Runs the tick on the timer's thread and waits until it has returned. Only a
// terminate request ends the wait early, so destroying the timer never waits for a
// tick that its own thread would have to run.
bool TZorvikTimerThread::DoTimerEvent() {
    using E = TTimerEvents;
    fEvents->Reset(E::TickDone);
    if (!QMetaObject::invokeMethod(FTimer, "DoTimerEvent", Qt::QueuedConnection))
        return true;  // nothing to wait for; try again after the next interval
    return fEvents->WaitAny({E::TickDone, E::Terminate}) == E::TickDone;
}

TZorvikTimer::TZorvikTimer(QObject *owner)
    : QObject(owner), FTimerThread(std::make_unique<TZorvikTimerThread>(this)) {}

TZorvikTimer::~TZorvikTimer() {
    FTimerThread.reset();
}

// Enabling cancels a stop the thread has not seen yet and disabling cancels a start,
// so quick on-off-on sequences end in the state last asked for.
void TZorvikTimer::SetEnable(bool value) {
    if (value == FEnable)
        return;
    if (FEnable) {
        StopThread();
        FEnable = false;
    } else {
        StartThread();
        FEnable = true;
    }
}

void TZorvikTimer::StartThread() {
    FTimerThread->Events()->SetAndReset(TTimerEvents::Start, TTimerEvents::Stop);
}

void TZorvikTimer::StopThread() {
    FTimerThread->Events()->SetAndReset(TTimerEvents::Stop, TTimerEvents::Start);
}

void TZorvikTimer::DoTimerEvent() {
    // Kept apart from `this`: a handler may destroy the timer.
    const std::shared_ptr<TTimerEvents> events = FTimerThread->Events();
    if (FEnable) {
        if (TNotifyEvent handler = FOnTimerDo)
            handler(this);
    }
    events->Set(TTimerEvents::TickDone);
}
