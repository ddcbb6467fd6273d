#pragma once
// UI-thread dispatcher of the program: the caller posts a queued call to a context
// object that lives on the UI thread and waits on a std::condition_variable until
// the event loop has run it. The queued call carries no data; everything the caller
// and the UI thread share goes through the std mutex, so the hand-off stays visible
// to ThreadSanitizer.

#include "link/UiDispatcher.h"

#include <memory>

class QObject;

class TQtUiDispatcher : public TUiDispatcher {
public:
    // Must be constructed on the UI thread (the thread of the Qt event loop).
    TQtUiDispatcher();
    ~TQtUiDispatcher() override;

    bool RunOnUiAndWait(const std::function<void()> &fn) override;
    // Delivers the queued calls of this dispatcher at once (only on the UI thread).
    void ProcessPending() override;
    void Close() override;

private:
    struct TShared;
    std::shared_ptr<TShared> fShared;
    QObject *fContext;
};
