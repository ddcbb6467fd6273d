// Property setters of TComm: a changed line setting goes to the open port at once
// (port-state step), a changed read time-out reaches the reading thread at once.
#include "serial/PortLine.h"
#include "serial/ReadThread.h"
#include "serial/SPComm.h"

template <typename T>
void TComm::SetLine(T &field, T value) {
    if (field == value)
        return;
    field = value;
    if (hCommFile >= 0)
        ApplyPortState();
}

void TComm::ApplyPortState() {
    ApplyPortLineSettings(hCommFile, FLine);
    ApplyPortModemLines(hCommFile, FLine);
}

void TComm::SetReadSetting(std::atomic<uint32_t> &field, uint32_t value) {
    if (field.load() == value)
        return;
    field = value;
    if (ReadThread)
        ReadThread->SettingsChanged();
}

void TComm::SetBaudRate(uint32_t value) {
    SetLine(FLine.BaudRate, value);
}
void TComm::SetParityCheck(bool value) {
    SetLine(FLine.ParityCheck, value);
}
void TComm::SetOutx_CtsFlow(bool value) {
    SetLine(FLine.Outx_CtsFlow, value);
}
void TComm::SetOutx_DsrFlow(bool value) {
    SetLine(FLine.Outx_DsrFlow, value);
}
void TComm::SetDtrControl(TDtrControl value) {
    SetLine(FLine.DtrControl, value);
}
void TComm::SetDsrSensitivity(bool value) {
    SetLine(FLine.DsrSensitivity, value);
}
void TComm::SetTxContinueOnXoff(bool value) {
    SetLine(FLine.TxContinueOnXoff, value);
}
void TComm::SetOutx_XonXoffFlow(bool value) {
    SetLine(FLine.Outx_XonXoffFlow, value);
}
void TComm::SetInx_XonXoffFlow(bool value) {
    SetLine(FLine.Inx_XonXoffFlow, value);
}
void TComm::SetReplaceWhenParityError(bool value) {
    SetLine(FLine.ReplaceWhenParityError, value);
}
void TComm::SetRtsControl(TRtsControl value) {
    SetLine(FLine.RtsControl, value);
}
void TComm::SetXonLimit(uint16_t value) {
    SetLine(FLine.XonLimit, value);
}
void TComm::SetXoffLimit(uint16_t value) {
    SetLine(FLine.XoffLimit, value);
}
void TComm::SetByteSize(TByteSize value) {
    SetLine(FLine.ByteSize, value);
}
void TComm::SetParity(TParity value) {
    SetLine(FLine.Parity, value);
}
void TComm::SetStopBits(TStopBits value) {
    SetLine(FLine.StopBits, value);
}
void TComm::SetXonChar(char value) {
    SetLine(FLine.XonChar, value);
}
void TComm::SetXoffChar(char value) {
    SetLine(FLine.XoffChar, value);
}
void TComm::SetReplacedChar(char value) {
    SetLine(FLine.ReplacedChar, value);
}

// Null bytes are dropped by the reading thread, which reads the flag for every read.
void TComm::SetIgnoreNullChar(bool value) {
    FLine.IgnoreNullChar = value;
    FReadSettings->IgnoreNullChar = value;
}

uint32_t TComm::GetReadIntervalTimeout() const {
    return FReadSettings->ReadIntervalTimeout.load();
}
void TComm::SetReadIntervalTimeout(uint32_t value) {
    SetReadSetting(FReadSettings->ReadIntervalTimeout, value);
}
uint32_t TComm::GetReadTotalTimeoutMultiplier() const {
    return FReadSettings->ReadTotalTimeoutMultiplier.load();
}
void TComm::SetReadTotalTimeoutMultiplier(uint32_t value) {
    SetReadSetting(FReadSettings->ReadTotalTimeoutMultiplier, value);
}
uint32_t TComm::GetReadTotalTimeoutConstant() const {
    return FReadSettings->ReadTotalTimeoutConstant.load();
}
void TComm::SetReadTotalTimeoutConstant(uint32_t value) {
    SetReadSetting(FReadSettings->ReadTotalTimeoutConstant, value);
}
