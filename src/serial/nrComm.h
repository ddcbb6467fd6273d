#pragma once
// TnrComm: the alternative serial component, built on Qt SerialPort.
//
// Holds its settings (BaudRate 460800, ComPort "cpCOM4", 8 data bits, no parity, one
// stop bit, hardware flow control, 8192-byte buffers, TimeoutRead 2 ms, ...).
// Active := true opens the port with them and throws TnrCommError when it cannot;
// Active := false closes it. Received bytes are grouped by a silence of TimeoutRead
// milliseconds (at most BufferInSize bytes a block) and handed to OnAfterReceive on
// the thread that owns the component. A lost device closes the port.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <stdexcept>

class QSerialPort;

class TnrCommError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TnrParity { pNone, pOdd, pEven, pMark, pSpace };
enum class TnrStopBits { sbOne, sbOneAndHalf, sbTwo };
enum class TnrStreamProtocol { spNone, spHardware, spXonXoff };

class TnrComm : public QObject {
    Q_OBJECT

public:
    using TAfterReceiveEvent = std::function<void(TnrComm *Sender, const uint8_t *Buffer, uint32_t Received)>;

    explicit TnrComm(QObject *owner = nullptr);
    ~TnrComm() override;

    bool GetActive() const;
    void SetActive(bool value);  // throws TnrCommError when the port cannot be opened

    // Sends the bytes; true when all of them were taken for sending (and, with a
    // TimeoutWrite other than 0, written within that many milliseconds).
    bool SendData(const void *buffer, uint32_t count);

    void SetOnAfterReceive(TAfterReceiveEvent handler) { FOnAfterReceive = std::move(handler); }
    // Called after a vanished device has closed the port.
    using TDeviceLostEvent = std::function<void(TnrComm *Sender)>;
    void SetOnDeviceLost(TDeviceLostEvent handler) { FOnDeviceLost = std::move(handler); }
    const TAfterReceiveEvent &GetOnAfterReceive() const { return FOnAfterReceive; }

    // Stored settings; line settings reach an open port at once, the rest at the
    // next open.
    uint32_t GetBaudRate() const { return FBaudRate; }
    void SetBaudRate(uint32_t value);
    int GetComPortNo() const { return FComPortNo; }
    void SetComPortNo(int value) { FComPortNo = value; }
    QString GetComPort() const { return QStringLiteral("cpCOM%1").arg(FComPortNo); }
    // Device to open instead of "COM<ComPortNo>" when not empty (a path or a name).
    QString GetPortName() const { return FPortName; }
    void SetPortName(const QString &value) { FPortName = value; }
    int GetByteSize() const { return FByteSize; }
    void SetByteSize(int value);
    TnrParity GetParity() const { return FParity; }
    void SetParity(TnrParity value);
    TnrStopBits GetStopBits() const { return FStopBits; }
    void SetStopBits(TnrStopBits value);
    TnrStreamProtocol GetStreamProtocol() const { return FStreamProtocol; }
    void SetStreamProtocol(TnrStreamProtocol value);
    uint32_t GetBufferInSize() const { return FBufferInSize; }
    void SetBufferInSize(uint32_t value) { FBufferInSize = value; }
    uint32_t GetBufferOutSize() const { return FBufferOutSize; }
    void SetBufferOutSize(uint32_t value) { FBufferOutSize = value; }
    uint32_t GetTimeoutRead() const { return FTimeoutRead; }
    void SetTimeoutRead(uint32_t value) { FTimeoutRead = value; }
    uint32_t GetTimeoutWrite() const { return FTimeoutWrite; }
    void SetTimeoutWrite(uint32_t value) { FTimeoutWrite = value; }
    char GetEventChar() const { return FEventChar; }
    void SetEventChar(char value) { FEventChar = value; }
    bool GetRS485Mode() const { return FRS485Mode; }
    void SetRS485Mode(bool value) { FRS485Mode = value; }
    bool GetUseMainThread() const { return FUseMainThread; }
    void SetUseMainThread(bool value) { FUseMainThread = value; }
    bool GetKeepConnection() const { return FKeepConnection; }
    void SetKeepConnection(bool value) { FKeepConnection = value; }

private:
    QString DevicePath() const;
    bool ApplyLineSettings();
    void ReadAvailable();
    void DeliverPending();
    void PortError(int error);

    QSerialPort *fPort;
    QTimer fSilenceTimer;
    QByteArray fPending;

    uint32_t FBaudRate = 460800;
    int FComPortNo = 4;
    QString FPortName;
    int FByteSize = 8;
    TnrParity FParity = TnrParity::pNone;
    TnrStopBits FStopBits = TnrStopBits::sbOne;
    TnrStreamProtocol FStreamProtocol = TnrStreamProtocol::spHardware;
    uint32_t FBufferInSize = 8192;
    uint32_t FBufferOutSize = 8192;
    uint32_t FTimeoutRead = 2;
    uint32_t FTimeoutWrite = 0;
    char FEventChar = 0;
    bool FRS485Mode = false;
    bool FUseMainThread = true;
    bool FKeepConnection = false;

    TAfterReceiveEvent FOnAfterReceive;
    TDeviceLostEvent FOnDeviceLost;
};
