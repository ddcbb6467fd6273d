#pragma once
// Running a procedure on the UI thread and waiting for it, as the decoding worker
// does with UpdateSysParsShow. The program uses Qt's event loop (TQtUiDispatcher);
// tests, tools and the ThreadSanitizer pass use a plain std queue that their "UI
// thread" pumps (TStdUiDispatcher).

#include <functional>

class TUiDispatcher {
public:
    virtual ~TUiDispatcher() = default;

    // Runs fn on the UI thread and returns true once it has run. Called on the UI
    // thread itself, fn runs at once. After Close, or when the dispatcher is closed
    // while the call waits, fn does not run and the result is false; an fn that has
    // already begun is always waited for.
    virtual bool RunOnUiAndWait(const std::function<void()> &fn) = 0;

    // Runs the calls that wait for the UI thread; the UI thread calls this while it
    // waits for something that may itself wait for the UI thread.
    virtual void ProcessPending() = 0;

    // Refuses further calls and releases every caller that waits.
    virtual void Close() = 0;
};
