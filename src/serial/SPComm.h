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

#include "serial/CommNotice.h"
#include "serial/SerialTypes.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class TReadThread;
class TWriteThread;
class TWakeEvent;
struct TReadSettings;

class TComm : public QObject, private ICommNoticeSink {
    Q_OBJECT

public:
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
    bool GetSendDataEmpty() const { return FSendDataEmpty.load(); }

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
    void ReleasePort();
    bool PostNotice(TCommNotice &&notice) override;  // from the port threads
    void Dispatch(const TCommNotice &notice);

    std::unique_ptr<TReadThread> ReadThread;
    std::unique_ptr<TWriteThread> WriteThread;
    int hCommFile = -1;
    std::unique_ptr<TWakeEvent> hCloseEvent;
    std::atomic<bool> FSendDataEmpty{true};

    QString FCommName = QStringLiteral("COM2");
    TPortLineSettings FLine;
    std::unique_ptr<TReadSettings> FReadSettings;
    uint32_t FWriteTotalTimeoutMultiplier = 0;
    uint32_t FWriteTotalTimeoutConstant = 0;

    TReceiveDataEvent FOnReceiveData;
    TReceiveErrorEvent FOnReceiveError;
    TModemStateChangeEvent FOnModemStateChange;
    TCommNotifyEvent FOnRequestHangup;
    TCommNotifyEvent FOnSendDataEmpty;

    // Hand-off from the port threads: notices queue here and one payload-free queued
    // call wakes the owning thread to deliver them.
    std::mutex fNoticeMutex;
    std::deque<TCommNotice> fNotices;  // guarded by fNoticeMutex
    bool fWakePending = false;         // guarded by fNoticeMutex
};
