#include "serial/NoticeQueue.h"

#include <algorithm>

TNoticeQueue::TNoticeQueue(size_t limit, std::function<bool()> wake)
    : fLimit(std::max<size_t>(limit, 1)), fWake(std::move(wake)) {}

bool TNoticeQueue::PostNotice(TCommNotice &&notice) {
    std::lock_guard<std::mutex> lock(fMutex);
    if (!fWake)
        return false;
    if (fNotices.size() >= fLimit) {
        auto oldest = std::find_if(fNotices.begin(), fNotices.end(), [](const TCommNotice &n) {
            return n.Kind != TCommNotice::TKind::RequestHangup;
        });
        if (oldest != fNotices.end()) {
            fNotices.erase(oldest);
            ++fDropped;
        }
    }
    fNotices.push_back(std::move(notice));
    if (fWakePending)
        return true;
    // Waking under the lock: once Disconnect has returned, no wake-up is on its way.
    // The wake only posts an event, so the lock is held briefly.
    fWakePending = fWake();
    return fWakePending;
}

void TNoticeQueue::BeginDelivery() {
    std::lock_guard<std::mutex> lock(fMutex);
    fWakePending = false;
}

std::optional<TCommNotice> TNoticeQueue::Take() {
    std::lock_guard<std::mutex> lock(fMutex);
    if (fNotices.empty())
        return std::nullopt;
    TCommNotice notice = std::move(fNotices.front());
    fNotices.pop_front();
    return notice;
}

void TNoticeQueue::Disconnect() {
    std::lock_guard<std::mutex> lock(fMutex);
    fWake = nullptr;
    fNotices.clear();
}

size_t TNoticeQueue::Queued() const {
    std::lock_guard<std::mutex> lock(fMutex);
    return fNotices.size();
}
