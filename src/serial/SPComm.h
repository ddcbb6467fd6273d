#pragma once
// TComm: the serial port component.
//
// Opens a named port (see CommNameToDevicePath) for exclusive use, applies the line
// settings and time-outs held in its properties and runs two threads: the reading
// thread hands every received chunk (at most INPUTBUFFERSIZE bytes, grouped by a
// silence of ReadIntervalTimeout milliseconds) to OnReceiveData, and the writing
// thread sends what WriteCommData queues.
//
// Threads: TComm lives on the thread that created it (the UI thread). Properties,
// StartComm, StopComm and WriteCommData are called there, and every event handler
// runs there, one notice at a time in arrival order, while that thread's event loop
// runs. A handler may call StopComm (and StartComm); handlers may be re-entered when
// one of them runs a nested event loop (Delay).
//
// Notices wait in a queue of at most NoticeQueueLimit entries while that thread is
// busy; when it is full the oldest is dropped (GetDroppedNotices counts them).
//
// The reading thread runs two nice levels above the thread that opens the port, the
// writing thread one (where the system allows it). Stopping the port waits at most
// GetStopWaitLimit for each thread; a thread that has not ended by then is left to
// end on its own, keeping the device open (and claimed) until it does.

#include "serial/CommNotice.h"
#include "serial/SerialTypes.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class TReadThread;
class TWriteThread;
class TNoticeQueue;
struct TPortSession;
struct TReadSettings;
enum class TPortThreadRole;

class TComm : public QObject {
    Q_OBJECT

public:
    // Bound of the notice queue. The module sends up to 64 frames a second, about
    // one chunk (at most INPUTBUFFERSIZE + 1 bytes) each; the UI thread takes them
    // between its 5 ms live-view ticks, so normally one or two wait. 256 notices
    // keep 4 s of that stream across a stalled window and hold at most about 1 MiB;
    // frames older than that are of no use to a live picture.
    static constexpr size_t NoticeQueueLimit = 256;
    // How long stopping the port waits for each of its threads.
    static constexpr std::chrono::milliseconds DefaultStopWaitLimit{10000};

    // Buffer holds BufferLength bytes followed by a 0 byte; it is valid for the call.
    using TReceiveDataEvent =
        std::function<void(TComm *Sender, const uint8_t *Buffer, uint16_t BufferLength)>;
    using TReceiveErrorEvent = std::function<void(TComm *Sender, uint32_t EvtMask)>;
    using TModemStateChangeEvent = std::function<void(TComm *Sender, uint32_t ModemEvent)>;
    using TCommNotifyEvent = std::function<void(TComm *Sender)>;

    explicit TComm(QObject *owner = nullptr);
    ~TComm() override;  // closes the port if it is open

    // Empty when the port is open and both threads run, otherwise the reason.
    QString StartComm();
    // Closes the port; nothing happens when it is not open. Chunks received but not
    // yet handed to OnReceiveData are dropped with it.
    void StopComm();
    // Queues a copy of the bytes for sending. False, sending nothing, when the port is
    // not open, the count is 0, there are no bytes, or the writing thread has stopped.
    bool WriteCommData(const void *pDataToWrite, uint16_t dwSizeofDataToWrite);

    bool IsOpen() const { return hCommFile >= 0; }
    int GetHandle() const { return hCommFile; }  // -1 while closed
    bool GetSendDataEmpty() const;

    // The errno of the last StartComm that failed on a system call (ENOENT: no such
    // port, EACCES or EPERM: no permission, EBUSY: in use, ENOTTY: no serial device;
    // ClassifyOpenError in PortDevice.h sorts them); 0 after a successful open or a
    // failure without a system error (already open).
    int LastOpenErrno() const { return fLastOpenErrno; }

    // Notices dropped because the queue was full, since the component was created.
    uint64_t GetDroppedNotices() const;
    // Notices waiting for delivery now.
    size_t GetQueuedNotices() const;

    std::chrono::milliseconds GetStopWaitLimit() const { return fStopWaitLimit; }
    void SetStopWaitLimit(std::chrono::milliseconds limit) { fStopWaitLimit = limit; }
    // Runs on each port thread as it ends, before it lets go of the port; taken by
    // the next StartComm. Lets tests hold a thread up.
    void SetThreadEndHook(std::function<void(TPortThreadRole)> hook) { fThreadEndHook = std::move(hook); }

    // Properties. Setters store a changed value and apply it at once while open.
    QString GetCommName() const { return FCommName; }
    void SetCommName(const QString &value) { FCommName = value; }
    uint32_t GetBaudRate() const { return FLine.BaudRate; }
    void SetBaudRate(uint32_t value);
    bool GetParityCheck() const { return FLine.ParityCheck; }
    void SetParityCheck(bool value);
    bool GetOutx_CtsFlow() const { return FLine.Outx_CtsFlow; }
    void SetOutx_CtsFlow(bool value);
    bool GetOutx_DsrFlow() const { return FLine.Outx_DsrFlow; }
    void SetOutx_DsrFlow(bool value);
    TDtrControl GetDtrControl() const { return FLine.DtrControl; }
    void SetDtrControl(TDtrControl value);
    bool GetDsrSensitivity() const { return FLine.DsrSensitivity; }
    void SetDsrSensitivity(bool value);
    bool GetTxContinueOnXoff() const { return FLine.TxContinueOnXoff; }
    void SetTxContinueOnXoff(bool value);
    bool GetOutx_XonXoffFlow() const { return FLine.Outx_XonXoffFlow; }
    void SetOutx_XonXoffFlow(bool value);
    bool GetInx_XonXoffFlow() const { return FLine.Inx_XonXoffFlow; }
    void SetInx_XonXoffFlow(bool value);
    bool GetReplaceWhenParityError() const { return FLine.ReplaceWhenParityError; }
    void SetReplaceWhenParityError(bool value);
    bool GetIgnoreNullChar() const { return FLine.IgnoreNullChar; }
    void SetIgnoreNullChar(bool value);
    TRtsControl GetRtsControl() const { return FLine.RtsControl; }
    void SetRtsControl(TRtsControl value);
    uint16_t GetXonLimit() const { return FLine.XonLimit; }
    void SetXonLimit(uint16_t value);
    uint16_t GetXoffLimit() const { return FLine.XoffLimit; }
    void SetXoffLimit(uint16_t value);
    TByteSize GetByteSize() const { return FLine.ByteSize; }
    void SetByteSize(TByteSize value);
    TParity GetParity() const { return FLine.Parity; }
    void SetParity(TParity value);
    TStopBits GetStopBits() const { return FLine.StopBits; }
    void SetStopBits(TStopBits value);
    char GetXonChar() const { return FLine.XonChar; }
    void SetXonChar(char value);
    char GetXoffChar() const { return FLine.XoffChar; }
    void SetXoffChar(char value);
    char GetReplacedChar() const { return FLine.ReplacedChar; }
    void SetReplacedChar(char value);
    uint32_t GetReadIntervalTimeout() const;
    void SetReadIntervalTimeout(uint32_t value);
    uint32_t GetReadTotalTimeoutMultiplier() const;
    void SetReadTotalTimeoutMultiplier(uint32_t value);
    uint32_t GetReadTotalTimeoutConstant() const;
    void SetReadTotalTimeoutConstant(uint32_t value);
    uint32_t GetWriteTotalTimeoutMultiplier() const { return FWriteTotalTimeoutMultiplier; }
    void SetWriteTotalTimeoutMultiplier(uint32_t value) { FWriteTotalTimeoutMultiplier = value; }
    uint32_t GetWriteTotalTimeoutConstant() const { return FWriteTotalTimeoutConstant; }
    void SetWriteTotalTimeoutConstant(uint32_t value) { FWriteTotalTimeoutConstant = value; }

    // Events; each may be left unassigned (empty).
    void SetOnReceiveData(TReceiveDataEvent handler) { FOnReceiveData = std::move(handler); }
    const TReceiveDataEvent &GetOnReceiveData() const { return FOnReceiveData; }
    void SetOnReceiveError(TReceiveErrorEvent handler) { FOnReceiveError = std::move(handler); }
    const TReceiveErrorEvent &GetOnReceiveError() const { return FOnReceiveError; }
    void SetOnModemStateChange(TModemStateChangeEvent handler) { FOnModemStateChange = std::move(handler); }
    const TModemStateChangeEvent &GetOnModemStateChange() const { return FOnModemStateChange; }
    void SetOnRequestHangup(TCommNotifyEvent handler) { FOnRequestHangup = std::move(handler); }
    const TCommNotifyEvent &GetOnRequestHangup() const { return FOnRequestHangup; }
    void SetOnSendDataEmpty(TCommNotifyEvent handler) { FOnSendDataEmpty = std::move(handler); }
    const TCommNotifyEvent &GetOnSendDataEmpty() const { return FOnSendDataEmpty; }

private slots:
    void DeliverNotices();

private:
    template <typename T>
    void SetLine(T &field, T value);
    void SetReadSetting(std::atomic<uint32_t> &field, uint32_t value);
    void ApplyPortState();
    QString FailStart(const QString &reason, int error);
    void ReleasePort();
    void Dispatch(const TCommNotice &notice);

    // While open: the session both threads share, and the threads.
    std::shared_ptr<TPortSession> fSession;
    std::shared_ptr<TReadThread> ReadThread;
    std::shared_ptr<TWriteThread> WriteThread;
    int hCommFile = -1;
    int fLastOpenErrno = 0;
    uint64_t fDroppedBefore = 0;  // dropped notices of ports already closed
    std::chrono::milliseconds fStopWaitLimit = DefaultStopWaitLimit;
    std::function<void(TPortThreadRole)> fThreadEndHook;

    QString FCommName = QStringLiteral("COM2");
    TPortLineSettings FLine;
    std::shared_ptr<TReadSettings> FReadSettings;
    uint32_t FWriteTotalTimeoutMultiplier = 0;
    uint32_t FWriteTotalTimeoutConstant = 0;

    TReceiveDataEvent FOnReceiveData;
    TReceiveErrorEvent FOnReceiveError;
    TModemStateChangeEvent FOnModemStateChange;
    TCommNotifyEvent FOnRequestHangup;
    TCommNotifyEvent FOnSendDataEmpty;
};
