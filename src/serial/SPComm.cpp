#include "serial/SPComm.h"

#include "serial/CommName.h"
#include "serial/PortDevice.h"
#include "serial/PortLine.h"
#include "serial/ReadThread.h"
#include "serial/WakeEvent.h"
#include "serial/WriteThread.h"

#include <QMetaObject>

TComm::TComm(QObject *owner) : QObject(owner), FReadSettings(std::make_unique<TReadSettings>()) {}

TComm::~TComm() {
    // The threads post to this object: they must be gone before it is.
    StopComm();
}

QString TComm::StartComm() {
    if (hCommFile >= 0)
        return QStringLiteral("串口已打开！");

    const std::string path = CommNameToDevicePath(FCommName).toStdString();
    int fd = -1;
    switch (OpenPortDevice(path, fd)) {
    case TPortOpenResult::Opened: break;
    case TPortOpenResult::CannotOpen: return QStringLiteral("打开串口失败！");
    case TPortOpenResult::NotCommDevice: return QStringLiteral("文件句柄不是通讯句柄!");
    }

    hCommFile = fd;
    PurgePort(hCommFile, TPurge::Both);
    FSendDataEmpty = true;

    // A port that refuses its line settings would run at a wrong speed or framing
    // and deliver garbage; report it as a failed open instead.
    if (!ApplyPortLineSettings(hCommFile, FLine)) {
        ReleasePort();
        return QStringLiteral("打开串口失败！");
    }
    ApplyPortModemLines(hCommFile, FLine);

    hCloseEvent = std::make_unique<TWakeEvent>();
    if (!hCloseEvent->Create()) {
        ReleasePort();
        return QStringLiteral("不能创建事件!");
    }

    ReadThread = std::make_unique<TReadThread>(hCommFile, hCloseEvent->Fd(), *FReadSettings,
                                               static_cast<ICommNoticeSink &>(*this));
    if (!ReadThread->Start()) {
        ReleasePort();
        return QStringLiteral("不能创建串口读进程!");
    }
    WriteThread = std::make_unique<TWriteThread>(hCommFile, hCloseEvent->Fd(), FSendDataEmpty,
                                                 static_cast<ICommNoticeSink &>(*this));
    if (!WriteThread->Start()) {
        ReleasePort();
        return QStringLiteral("不能创建串口写进程!");
    }
    return QString();
}

void TComm::StopComm() {
    if (hCommFile < 0)
        return;
    ReleasePort();
}

// Stops whatever threads run, then closes the close event and the port. Also the
// clean-up of a failed StartComm.
void TComm::ReleasePort() {
    if (hCloseEvent && hCloseEvent->IsValid())
        hCloseEvent->Set();
    if (ReadThread) {
        PurgePort(hCommFile, TPurge::Input);
        ReadThread->Join();
        ReadThread.reset();
    }
    if (WriteThread) {
        PurgePort(hCommFile, TPurge::Output);
        WriteThread->Join();
        WriteThread.reset();
    }
    FSendDataEmpty = true;
    hCloseEvent.reset();
    ClosePortDevice(hCommFile);
    hCommFile = -1;
    // Notices of the closed session are not delivered any more.
    std::lock_guard<std::mutex> lock(fNoticeMutex);
    fNotices.clear();
}

bool TComm::WriteCommData(const void *pDataToWrite, uint16_t dwSizeofDataToWrite) {
    if (hCommFile < 0 || !WriteThread || dwSizeofDataToWrite == 0 || pDataToWrite == nullptr)
        return false;
    const auto *bytes = static_cast<const uint8_t *>(pDataToWrite);
    std::vector<uint8_t> block(bytes, bytes + dwSizeofDataToWrite);
    return WriteThread->Enqueue(std::move(block));
}

bool TComm::PostNotice(TCommNotice &&notice) {
    bool wake;
    {
        std::lock_guard<std::mutex> lock(fNoticeMutex);
        fNotices.push_back(std::move(notice));
        wake = !fWakePending;
        fWakePending = true;
    }
    if (!wake)
        return true;
    const bool posted = QMetaObject::invokeMethod(this, "DeliverNotices", Qt::QueuedConnection);
    if (!posted) {
        std::lock_guard<std::mutex> lock(fNoticeMutex);
        fWakePending = false;
    }
    return posted;
}

// Takes one notice at a time, so a handler that runs a nested event loop (and with it
// this method again) still sees the notices in arrival order.
void TComm::DeliverNotices() {
    {
        std::lock_guard<std::mutex> lock(fNoticeMutex);
        fWakePending = false;
    }
    for (;;) {
        TCommNotice notice;
        {
            std::lock_guard<std::mutex> lock(fNoticeMutex);
            if (fNotices.empty())
                return;
            notice = std::move(fNotices.front());
            fNotices.pop_front();
        }
        Dispatch(notice);
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
