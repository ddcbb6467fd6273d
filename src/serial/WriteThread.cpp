#include "serial/WriteThread.h"

#include "serial/PortDevice.h"
#include "serial/PortSession.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

TWriteThread::TWriteThread(std::shared_ptr<TPortSession> session)
    : fSession(std::move(session)), hCommFile(fSession->Fd), hCloseEvent(fSession->CloseEvent.Fd()),
      pFSendDataEmpty(fSession->SendDataEmpty), fSink(*fSession->Notices) {}

bool TWriteThread::Start() {
    return fNewData.Create() &&
           fThread.Start(TPortThreadRole::Write, [self = shared_from_this()] { self->Execute(); });
}

bool TWriteThread::Finish(std::chrono::milliseconds limit) {
    return fThread.Finish(limit);
}

bool TWriteThread::Enqueue(std::vector<uint8_t> &&block) {
    {
        std::lock_guard<std::mutex> lock(fMutex);
        if (!fAccepting)
            return false;
        fQueue.push_back(std::move(block));
        pFSendDataEmpty = false;
    }
    fNewData.Set();
    return true;
}

void TWriteThread::PostSimple(TCommNotice::TKind kind) {
    TCommNotice notice;
    notice.Kind = kind;
    fSink.PostNotice(std::move(notice));
}

TWriteThread::TWriteResult TWriteThread::WriteBlock(const std::vector<uint8_t> &block) {
    size_t done = 0;
    while (done < block.size()) {
        const ssize_t n = write(hCommFile, block.data() + done, block.size() - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EBADF)
            return TWriteResult::Closed;
        if (n < 0 && errno != EAGAIN) {
            PostSimple(TCommNotice::TKind::RequestHangup);
            return TWriteResult::Failed;
        }
        // The port's buffer is full: wait until it takes more, or for the close event.
        struct pollfd fds[2] = {{hCommFile, POLLOUT, 0}, {hCloseEvent, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            PostSimple(TCommNotice::TKind::RequestHangup);
            return TWriteResult::Failed;
        }
        if (fds[1].revents != 0)
            return TWriteResult::Closed;
        if (fds[0].revents & POLLNVAL)
            return TWriteResult::Closed;
        if ((fds[0].revents & (POLLHUP | POLLERR)) && !(fds[0].revents & POLLOUT)) {
            PostSimple(TCommNotice::TKind::RequestHangup);
            return TWriteResult::Failed;
        }
    }
    return TWriteResult::Written;
}

void TWriteThread::Execute() {
    bool noticeDue = true;
    for (;;) {
        std::vector<uint8_t> block;
        bool haveBlock = false;
        {
            std::lock_guard<std::mutex> lock(fMutex);
            if (fQueue.empty()) {
                pFSendDataEmpty = true;
            } else {
                block = std::move(fQueue.front());
                fQueue.pop_front();
                haveBlock = true;
            }
        }
        if (!haveBlock) {
            if (noticeDue) {
                PostSimple(TCommNotice::TKind::SendDataEmpty);
                noticeDue = false;
            }
            struct pollfd fds[2] = {{hCloseEvent, POLLIN, 0}, {fNewData.Fd(), POLLIN, 0}};
            if (poll(fds, 2, -1) < 0 && errno != EINTR)
                break;
            if (fds[0].revents != 0)
                break;
            if (fds[1].revents != 0)
                fNewData.Consume();
            continue;
        }
        struct pollfd closeCheck {
            hCloseEvent, POLLIN, 0
        };
        if (poll(&closeCheck, 1, 0) > 0)
            break;
        const TWriteResult result = WriteBlock(block);
        noticeDue = true;
        if (result != TWriteResult::Written)
            break;
    }
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fAccepting = false;
        fQueue.clear();
    }
    if (fSession->ThreadEndHook)
        fSession->ThreadEndHook(TPortThreadRole::Write);
    PurgePort(hCommFile, TPurge::Output);
    pFSendDataEmpty = true;
}
