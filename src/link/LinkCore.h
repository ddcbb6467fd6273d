#pragma once
// What the frame intake and its decoding workers share: the hooks into the program
// (sensor image object, the "SYS" and "TYPE" handlers, the UI dispatcher), the
// module-state flags, the half-frame merge buffer with the hand-off lock that guards
// it, the status board and the count of running workers. Workers hold the core
// through a shared_ptr, so it outlives a worker that finishes after its intake is
// gone.

#include "link/FrameSink.h"
#include "link/LinkStatus.h"
#include "link/UiDispatcher.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// Hooks of the frame intake into the program; fixed when the intake is created.
struct TLinkHooks {
    // Receiver of the calibration memory and the frame memories (the sensor image
    // object in the program). Without a sink the words are decoded but go nowhere.
    std::shared_ptr<TFrameSink> Sink;
    // Runs the "SYS" handler on the UI thread and waits for it.
    std::shared_ptr<TUiDispatcher> Dispatcher;
    // UpdateSysParsShow(pars): the 32 words of a "SYS" frame; runs on the UI thread
    // while the worker waits.
    std::function<void(const TUINT16s &)> UpdateSysParsShow;
    // The read-parameters action, run on the UI thread by the receive handlers when
    // a chunk begins with "TYPE" (the module's type reply after it started).
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
    // Length of the half-frame merge buffer; words 0..833 are a frame memory.
    static constexpr size_t MergeBufferWords = 4096;

    explicit TLinkCore(TLinkHooks hooks);

    const TLinkHooks Hooks;

    // A worker is decoding; the receive handlers start no new one meanwhile.
    std::atomic<bool> ComRecvBusy{false};
    // The module has sent its calibration memory / its system-parameter block.
    std::atomic<bool> EEIsOK{false};
    std::atomic<bool> SYSIsOK{false};
    // Subpage of the last frame decoded.
    std::atomic<int32_t> LastFrameIndex{0};
    // Mirrors the hidden check box chk_DouFrameUpdate: skip a frame whose subpage
    // equals that of the last frame.
    std::atomic<bool> DouFrameUpdate{false};
    // A whole frame whose check word fails is counted and dropped, never shown, and
    // so is a calibration memory that fails while one is already held (the window
    // sets it: a noisy line must not put a corrupted picture on screen).
    // Off, such a frame is handed over like any other, as the replay tool reads a
    // recording.
    std::atomic<bool> DropFailedFrames{false};
    // Frames handed to the sensor image object since the rate was last taken.
    std::atomic<int32_t> dataCalcRate{0};

    // Held for every hand-off to the sink and for every access to RecvedFrmDatas, so
    // hand-offs never overlap and the merge buffer is not rewritten while handed off.
    std::mutex HandOffMutex;
    // The half-frame merge buffer (MergeBufferWords words), under HandOffMutex.
    TUINT16s RecvedFrmDatas;

    // The decoding status the window shows.
    TLinkStatusBoard Status;

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
    // that workers queue for the UI thread, so a worker never waits for it in vain;
    // called from inside such a call, it does not wait for the worker that made it.
    void WaitIdle();

private:
    std::mutex fIdleMutex;
    std::condition_variable fIdleChanged;
    int fRunningWorkers = 0;
    int fUiRequests = 0;      // workers waiting for the UI thread
    int fUiCallsRunning = 0;  // of those, the ones whose call the UI thread is running
};
