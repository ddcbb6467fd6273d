#pragma once
// What the receive handlers and the decoding workers share: the window-wide state,
// the hooks into the window (sensor image object, UpdateSysParsShow, UI dispatcher),
// the hand-off lock and the count of running workers. Workers hold it through a
// shared_ptr, so it outlives a worker that finishes after its intake is gone.

#include "link/FrameSink.h"
#include "link/UiDispatcher.h"
#include "link/WindowState.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// Hooks of the frame intake into the window; fixed when the intake is created.
struct TLinkHooks {
    // Receiver of the calibration memory and the frame memories (the sensor image
    // object in the program). Without a sink the words are decoded but go nowhere.
    std::shared_ptr<TFrameSink> Sink;
    // Runs UpdateSysParsShow on the UI thread and waits for it.
    std::shared_ptr<TUiDispatcher> Dispatcher;
    // UpdateSysParsShow(pars): the 32 words of a "SYS" frame; runs on the UI thread.
    std::function<void(const TUINT16s &)> UpdateSysParsShow;
    // The read-parameters action (btn_GetCalibInfoClick), run on the UI thread by the
    // receive handlers when a chunk begins with "TYPE".
    std::function<void()> ReadParsAction;
    // Starts a decoding worker's body on a thread and returns at once; false when no
    // thread could be started, and then the body never runs. Empty: a detached
    // std::thread per worker, as the program does. Harnesses that decode millions of
    // frames (the fuzz target) reuse threads here: sanitizer runtimes keep a record
    // of every thread ever started, so a thread per frame grows their memory for good.
    std::function<bool(std::function<void()>)> StartThread;
};

class TLinkCore {
public:
    TLinkCore(TWindowState &state, TLinkHooks hooks);

    TWindowState &State;
    const TLinkHooks Hooks;

    // Mirrors the hidden check box chk_DouFrameUpdate: skip a frame whose subpage
    // equals that of the last frame.
    std::atomic<bool> DouFrameUpdate{false};

    // Held for every hand-off to the sink and for every write of RecvedFrmDatas, so
    // hand-offs never overlap and the merge buffer is not rewritten while handed off.
    std::mutex HandOffMutex;

    // Runs fn on the UI thread through the dispatcher and waits; false when there is
    // no dispatcher or it has been closed.
    bool RunOnUiAndWait(const std::function<void()> &fn);

    // Worker bookkeeping: every started worker is counted until it has finished all
    // its work, the hand-off included.
    void WorkerStarting();
    void WorkerFinished();
    bool IsIdle();
    int RunningWorkers();

    // Waits until no worker runs. Called on the UI thread, it keeps running the calls
    // that workers queue for the UI thread, so a worker never waits for it in vain.
    void WaitIdle();

private:
    std::mutex fIdleMutex;
    std::condition_variable fIdleChanged;
    int fRunningWorkers = 0;
    int fUiRequests = 0;  // workers waiting for the UI thread
};
