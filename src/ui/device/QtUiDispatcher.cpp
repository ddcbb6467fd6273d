#include "ui/device/QtUiDispatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <mutex>

struct TQtUiDispatcher::TShared {
    std::mutex mutex;
    std::condition_variable finished;
    bool closed = false;
};

namespace {
enum class TJobState { Queued, Running, Done, Cancelled };
struct TJob {
    const std::function<void()> *fn;
    TJobState state = TJobState::Queued;
};
}  // namespace

TQtUiDispatcher::TQtUiDispatcher() : fShared(std::make_shared<TShared>()), fContext(new QObject) {}

TQtUiDispatcher::~TQtUiDispatcher() {
    Close();
    // The last owner may be a worker thread; the context object is then deleted by
    // the UI thread's event loop.
    if (QThread::currentThread() == fContext->thread())
        delete fContext;
    else
        fContext->deleteLater();
}

bool TQtUiDispatcher::RunOnUiAndWait(const std::function<void()> &fn) {
    if (QThread::currentThread() == fContext->thread()) {
        {
            std::lock_guard<std::mutex> lock(fShared->mutex);
            if (fShared->closed)
                return false;
        }
        fn();
        return true;
    }
    auto job = std::make_shared<TJob>();
    job->fn = &fn;
    {
        std::lock_guard<std::mutex> lock(fShared->mutex);
        if (fShared->closed)
            return false;
    }
    std::shared_ptr<TShared> shared = fShared;
    const bool posted = QMetaObject::invokeMethod(
        fContext,
        [shared, job] {
            {
                std::lock_guard<std::mutex> lock(shared->mutex);
                if (job->state != TJobState::Queued)
                    return;
                job->state = TJobState::Running;
            }
            try {
                (*job->fn)();
            } catch (...) {
                // Failure of the caller's procedure; the caller is released all the same.
            }
            std::lock_guard<std::mutex> lock(shared->mutex);
            job->state = TJobState::Done;
            shared->finished.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(fShared->mutex);
    if (!posted)
        job->state = TJobState::Cancelled;
    fShared->finished.wait(lock, [&] {
        if (fShared->closed && job->state == TJobState::Queued)
            job->state = TJobState::Cancelled;  // the queued call will find it cancelled
        return job->state == TJobState::Done || job->state == TJobState::Cancelled;
    });
    return job->state == TJobState::Done;
}

void TQtUiDispatcher::ProcessPending() {
    if (QThread::currentThread() == fContext->thread())
        QCoreApplication::sendPostedEvents(fContext, QEvent::MetaCall);
}

void TQtUiDispatcher::Close() {
    std::lock_guard<std::mutex> lock(fShared->mutex);
    fShared->closed = true;
    fShared->finished.notify_all();
}
