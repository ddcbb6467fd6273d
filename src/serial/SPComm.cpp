#include "serial/SPComm.h"

#include "serial/CommName.h"
#include "serial/NoticeQueue.h"
#include "serial/PortDevice.h"
#include "serial/PortLine.h"
#include "serial/PortSession.h"
#include "serial/ReadThread.h"
#include "serial/WriteThread.h"

#include <QMetaObject>

#include <cerrno>

TComm::TComm(QObject *owner) : QObject(owner), FReadSettings(std::make_shared<TReadSettings>()) {}

TComm::~TComm() {
    // The threads post to this object: they must be gone, or cut off, before it is.
    StopComm();
}

QString TComm::FailStart(const QString &reason, int error) {
    ReleasePort();
    fLastOpenErrno = error;
    return reason;
}

QString TComm::StartComm() {
    if (hCommFile >= 0) {
        fLastOpenErrno = 0;
        return QStringLiteral("串口已打开！");
    }

    const std::string path = CommNameToDevicePath(FCommName).toStdString();
    int fd = -1;
    switch (OpenPortDevice(path, fd, fLastOpenErrno)) {
    case TPortOpenResult::Opened: break;
    case TPortOpenResult::CannotOpen: return QStringLiteral("打开串口失败！");
    case TPortOpenResult::NotCommDevice: return QStringLiteral("文件句柄不是通讯句柄!");
    }

    // From here on the session owns the descriptor: whoever lets go of it last
    // closes the device.
    fSession = std::make_shared<TPortSession>(fd);
    hCommFile = fd;
    PurgePort(hCommFile, TPurge::Both);

    // A port that refuses its line settings would run at a wrong speed or framing
    // and deliver garbage; report it as a failed open instead.
    if (!ApplyPortLineSettings(hCommFile, FLine))
        return FailStart(QStringLiteral("打开串口失败！"), errno);
    ApplyPortModemLines(hCommFile, FLine);

    if (!fSession->CloseEvent.Create())
        return FailStart(QStringLiteral("不能创建事件!"), errno);
    fSession->Notices = std::make_shared<TNoticeQueue>(NoticeQueueLimit, [this] {
        return QMetaObject::invokeMethod(this, "DeliverNotices", Qt::QueuedConnection);
    });
    fSession->ThreadEndHook = fThreadEndHook;

    ReadThread = std::make_shared<TReadThread>(fSession, FReadSettings);
    if (!ReadThread->Start())
        return FailStart(QStringLiteral("不能创建串口读进程!"), errno);
    WriteThread = std::make_shared<TWriteThread>(fSession);
    if (!WriteThread->Start())
        return FailStart(QStringLiteral("不能创建串口写进程!"), errno);
    fLastOpenErrno = 0;
    return QString();
}

void TComm::StopComm() {
    if (hCommFile < 0)
        return;
    ReleasePort();
}

// Stops whatever threads run, waiting for each at most fStopWaitLimit, then lets go
// of the session: the device closes now, or when a thread that did not end in time
// ends. Also the clean-up of a failed StartComm.
void TComm::ReleasePort() {
    if (!fSession)
        return;
    if (fSession->CloseEvent.IsValid())
        fSession->CloseEvent.Set();
    if (ReadThread) {
        PurgePort(hCommFile, TPurge::Input);
        ReadThread->Finish(fStopWaitLimit);
        ReadThread.reset();
    }
    if (WriteThread) {
        PurgePort(hCommFile, TPurge::Output);
        WriteThread->Finish(fStopWaitLimit);
        WriteThread.reset();
    }
    // Notices of the closed port are not delivered any more, and a thread still
    // running reaches nobody.
    if (fSession->Notices) {
        fSession->Notices->Disconnect();
        fDroppedBefore += fSession->Notices->Dropped();
    }
    fSession.reset();
    hCommFile = -1;
}

bool TComm::GetSendDataEmpty() const {
    return !fSession || fSession->SendDataEmpty.load();
}

uint64_t TComm::GetDroppedNotices() const {
    return fDroppedBefore + (fSession && fSession->Notices ? fSession->Notices->Dropped() : 0);
}

size_t TComm::GetQueuedNotices() const {
    return fSession && fSession->Notices ? fSession->Notices->Queued() : 0;
}

bool TComm::WriteCommData(const void *pDataToWrite, uint16_t dwSizeofDataToWrite) {
    if (hCommFile < 0 || !WriteThread || dwSizeofDataToWrite == 0 || pDataToWrite == nullptr)
        return false;
    const auto *bytes = static_cast<const uint8_t *>(pDataToWrite);
    std::vector<uint8_t> block(bytes, bytes + dwSizeofDataToWrite);
    return WriteThread->Enqueue(std::move(block));
}

// Takes one notice at a time, so a handler that runs a nested event loop (and with it
// this method again) still sees the notices in arrival order. A handler may close
// the port (and open it again): the queue is looked up afresh for every notice.
void TComm::DeliverNotices() {
    if (fSession && fSession->Notices)
        fSession->Notices->BeginDelivery();
    for (;;) {
        const std::shared_ptr<TNoticeQueue> queue = fSession ? fSession->Notices : nullptr;
        if (!queue)
            return;
        std::optional<TCommNotice> notice = queue->Take();
        if (!notice)
            return;
        Dispatch(*notice);
    }
}
// Handlers are copied before the call so that one may replace itself safely.
void TComm::Dispatch(const TCommNotice &notice) {
    switch (notice.Kind) {
    case TCommNotice::TKind::GotCommData:
        if (auto handler = FOnReceiveData; handler && !notice.Data.empty())
            handler(this, notice.Data.data(), uint16_t(notice.Data.size() - 1));
        break;
    case TCommNotice::TKind::ReceiveError:
        if (auto handler = FOnReceiveError)
            handler(this, notice.Bits);
        break;
    case TCommNotice::TKind::RequestHangup:
        if (auto handler = FOnRequestHangup)
            handler(this);
        break;
    case TCommNotice::TKind::ModemStateChange:
        if (auto handler = FOnModemStateChange)
            handler(this, notice.Bits);
        break;
    case TCommNotice::TKind::SendDataEmpty:
        if (auto handler = FOnSendDataEmpty)
            handler(this);
        break;
    }
}
