#include "serial/nrComm.h"

#include "serial/CommName.h"

#include <QSerialPort>

#include <poll.h>

TnrComm::TnrComm(QObject *owner) : QObject(owner), fPort(new QSerialPort(this)) {
    fSilenceTimer.setSingleShot(true);
    fSilenceTimer.setTimerType(Qt::PreciseTimer);
    connect(&fSilenceTimer, &QTimer::timeout, this, &TnrComm::DeliverPending);
    connect(fPort, &QSerialPort::readyRead, this, &TnrComm::ReadAvailable);
    connect(fPort, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { PortError(int(error)); });
}

TnrComm::~TnrComm() {
    fSilenceTimer.stop();
    if (fPort->isOpen())
        fPort->close();
}

QString TnrComm::DevicePath() const {
    return CommNameToDevicePath(FPortName.isEmpty() ? QStringLiteral("COM%1").arg(FComPortNo) : FPortName);
}

bool TnrComm::GetActive() const {
    return fPort->isOpen();
}

void TnrComm::SetActive(bool value) {
    if (value == fPort->isOpen())
        return;
    if (!value) {
        fSilenceTimer.stop();
        fPending.clear();
        fPort->close();
        return;
    }
    const QString path = DevicePath();
    fPort->setPortName(path);
    if (!fPort->open(QIODevice::ReadWrite))
        throw TnrCommError(
            QStringLiteral("Cannot open %1: %2").arg(path, fPort->errorString()).toStdString());
    if (!ApplyLineSettings()) {
        const QString reason = fPort->errorString();
        fPort->close();
        throw TnrCommError(QStringLiteral("Cannot set up %1: %2").arg(path, reason).toStdString());
    }
    fPort->clear();
}

bool TnrComm::ApplyLineSettings() {
    const auto dataBits = FByteSize <= 5   ? QSerialPort::Data5
                          : FByteSize == 6 ? QSerialPort::Data6
                          : FByteSize == 7 ? QSerialPort::Data7
                                           : QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    switch (FParity) {
    case TnrParity::pNone: parity = QSerialPort::NoParity; break;
    case TnrParity::pOdd: parity = QSerialPort::OddParity; break;
    case TnrParity::pEven: parity = QSerialPort::EvenParity; break;
    case TnrParity::pMark: parity = QSerialPort::MarkParity; break;
    case TnrParity::pSpace: parity = QSerialPort::SpaceParity; break;
    }
    const auto stopBits = FStopBits == TnrStopBits::sbOne   ? QSerialPort::OneStop
                          : FStopBits == TnrStopBits::sbTwo ? QSerialPort::TwoStop
                                                            : QSerialPort::OneAndHalfStop;
    const auto flow = FStreamProtocol == TnrStreamProtocol::spHardware  ? QSerialPort::HardwareControl
                      : FStreamProtocol == TnrStreamProtocol::spXonXoff ? QSerialPort::SoftwareControl
                                                                        : QSerialPort::NoFlowControl;
    return fPort->setBaudRate(qint32(FBaudRate)) && fPort->setDataBits(dataBits) &&
           fPort->setParity(parity) && fPort->setStopBits(stopBits) && fPort->setFlowControl(flow);
}

void TnrComm::SetBaudRate(uint32_t value) {
    FBaudRate = value;
    if (fPort->isOpen())
        ApplyLineSettings();
}

void TnrComm::SetByteSize(int value) {
    FByteSize = value;
    if (fPort->isOpen())
        ApplyLineSettings();
}

void TnrComm::SetParity(TnrParity value) {
    FParity = value;
    if (fPort->isOpen())
        ApplyLineSettings();
}

void TnrComm::SetStopBits(TnrStopBits value) {
    FStopBits = value;
    if (fPort->isOpen())
        ApplyLineSettings();
}

void TnrComm::SetStreamProtocol(TnrStreamProtocol value) {
    FStreamProtocol = value;
    if (fPort->isOpen())
        ApplyLineSettings();
}

bool TnrComm::SendData(const void *buffer, uint32_t count) {
    if (!fPort->isOpen() || buffer == nullptr || count == 0)
        return false;
    const qint64 taken = fPort->write(static_cast<const char *>(buffer), qint64(count));
    if (taken != qint64(count))
        return false;
    if (FTimeoutWrite > 0)
        return fPort->waitForBytesWritten(int(FTimeoutWrite));
    return true;
}

void TnrComm::ReadAvailable() {
    const uint32_t blockSize = FBufferInSize > 0 ? FBufferInSize : 8192;
    fPending.append(fPort->readAll());
    while (uint32_t(fPending.size()) >= blockSize) {
        const QByteArray block = fPending.left(qsizetype(blockSize));
        fPending.remove(0, qsizetype(blockSize));
        if (auto handler = FOnAfterReceive)
            handler(this, reinterpret_cast<const uint8_t *>(block.constData()), uint32_t(block.size()));
    }
    if (fPending.isEmpty())
        return;
    if (FTimeoutRead == 0)
        DeliverPending();
    else
        fSilenceTimer.start(int(FTimeoutRead));
}

void TnrComm::DeliverPending() {
    fSilenceTimer.stop();
    if (fPending.isEmpty())
        return;
    const QByteArray block = fPending;
    fPending.clear();
    if (auto handler = FOnAfterReceive)
        handler(this, reinterpret_cast<const uint8_t *>(block.constData()), uint32_t(block.size()));
}

// Whether the open device has hung up: a pseudo-terminal whose other side closed
// (and some adapters) report a lost device as a failed read, not as a missing
// resource, and would report it again at every event-loop pass.
static bool DeviceHungUp(const QSerialPort &port) {
    pollfd p{};
    p.fd = int(port.handle());
    p.events = POLLIN;
    return p.fd >= 0 && poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

// A vanished device ends the connection; what arrived before is still handed over.
void TnrComm::PortError(int error) {
    if (!fPort->isOpen())
        return;
    const bool lost =
        error == QSerialPort::ResourceError || (error == QSerialPort::ReadError && DeviceHungUp(*fPort));
    if (!lost)
        return;
    DeliverPending();
    fPort->close();
    if (FOnDeviceLost)
        FOnDeviceLost(this);
}
