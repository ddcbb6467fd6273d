#include "ui/device/ModuleSession.h"

#include "link/MLX90640Sink.h"
#include "pipeline/MLX90640.h"
#include "serial/SPComm.h"
#include "serial/nrComm.h"
#include "ui/device/QtUiDispatcher.h"
#include "ui/playback/CapturePlayer.h"

#include <algorithm>
#include <exception>
#include <limits>

namespace {

void ApplyPortSettings(TComm &comm, const TPortSettings &s, const QString &commName) {
    comm.SetCommName(commName);
    comm.SetBaudRate(s.BaudRate);
    comm.SetParity(TParity::None);
    comm.SetByteSize(TByteSize::_8);
    comm.SetParityCheck(s.ParityCheck);
    comm.SetStopBits(TStopBits::_1);
    comm.SetReadIntervalTimeout(s.ReadIntervalTimeout);
    comm.SetReadTotalTimeoutConstant(s.ReadTotalTimeoutConstant);
    comm.SetReadTotalTimeoutMultiplier(s.ReadTotalTimeoutMultiplier);
    comm.SetInx_XonXoffFlow(s.Inx_XonXoffFlow);
    comm.SetOutx_XonXoffFlow(s.Outx_XonXoffFlow);
}

// StartComm's verdict; an error it raises counts as a failure too.
QString TryStartComm(TComm &comm) {
    try {
        return comm.StartComm();
    } catch (const std::exception &e) {
        const QString why = QString::fromUtf8(e.what());
        return why.isEmpty() ? QStringLiteral("StartComm") : why;
    } catch (...) {
        return QStringLiteral("StartComm");
    }
}

}  // namespace

TModuleSession::TModuleSession(TMLX90640 &image, QObject *parent) : QObject(parent), fImage(image) {
    setObjectName(QStringLiteral("ModuleSession"));
    // Comm1 as the window holds it: DTR and RTS off; the rest is set on connecting.
    fComm1 = new TComm(this);
    fComm1->setObjectName(QStringLiteral("Comm1"));
    fComm1->SetDtrControl(TDtrControl::DtrDisable);
    fComm1->SetRtsControl(TRtsControl::RtsDisable);
    fnrComm1 = new TnrComm(this);
    fnrComm1->setObjectName(QStringLiteral("nrComm1"));

    TLinkHooks hooks;
    hooks.Sink = MakeMLX90640Sink(fImage);
    hooks.Dispatcher = std::make_shared<TQtUiDispatcher>();
    hooks.UpdateSysParsShow = [this](const TUINT16s &pars) {
        fLastSysWords = pars;
        emit SysParsReceived(pars);
    };
    hooks.ReadParsAction = [this] {
        // A recorded type reply asks a module that is not there.
        if (!PlaybackOpen())
            emit TypeReplyReceived();
    };
    fIntake = std::make_unique<TFrameIntake>(std::move(hooks));
    fPlayer = new TCapturePlayer(
        [this](const uint8_t *data, size_t len) { fIntake->Comm1ReceiveData(data, uint16_t(len)); },
        [this] { fIntake->DiscardBuffered(); }, this);
    fPlayer->setObjectName(QStringLiteral("CapturePlayer"));
    fIntake->SetDropFailedFrames(true);

    fComm1->SetOnReceiveData(
        [this](TComm *, const uint8_t *buffer, uint16_t length) { Comm1ReceiveData(buffer, length); });
    fnrComm1->SetOnAfterReceive([this](TnrComm *, const uint8_t *buffer, uint32_t received) {
        nrComm1AfterReceive(buffer, received);
    });
    fComm1->SetOnRequestHangup([this](TComm *) { Comm1LinkLost(); });
    fnrComm1->SetOnDeviceLost([this](TnrComm *) { emit AlternativeLinkLost(); });
}

TModuleSession::~TModuleSession() {
    QString ignored;
    StopRecording(&ignored);
    delete fPlayer;
    fPlayer = nullptr;
    // The components go first: after them no receive event reaches the intake. The
    // intake then waits for its workers (the image object is still there), and the
    // virtual module stops last.
    delete fComm1;
    fComm1 = nullptr;
    delete fnrComm1;
    fnrComm1 = nullptr;
    fIntake.reset();
    fSim.Stop();
}

void TModuleSession::StopPort() {
    fComm1->StopComm();
    fSim.Stop();
}

TPortOpenFailure TModuleSession::OpenPort(const TPortSettings &settings, const QString &portText) {
    fPlayer->Close();
    fPortType = PK_Comm1;
    QString commName = settings.CommName;
    TPortOpenFailure failure;
    if (IsSimPortName(portText)) {
        // The virtual module: a fresh one on its own pseudo-terminal.
        const QString device = fSim.Start(&failure.Reason);
        if (device.isEmpty()) {
            if (failure.Reason.isEmpty())
                failure.Reason = QStringLiteral("SIM");
            return failure;
        }
        commName = QStringLiteral("//./") + device;
    }
    ApplyPortSettings(*fComm1, settings, commName);
    failure.Reason = TryStartComm(*fComm1);
    if (failure.IsFailure()) {
        failure.Errno = fComm1->LastOpenErrno();
        fSim.Stop();
        return failure;
    }
    fConnected = true;
    return failure;
}

void TModuleSession::ClosePort() {
    fPortType = PK_Comm1;
    StopPort();
    fConnected = false;
}

void TModuleSession::SetReadIntervalTimeout(uint32_t milliseconds) {
    fComm1->SetReadIntervalTimeout(milliseconds);
}

void TModuleSession::SetAlternativeActive(bool active) {
    fPortType = PK_nrComm1;
    fnrComm1->SetActive(active);
}

bool TModuleSession::AlternativeActive() const {
    return fnrComm1->GetActive();
}

void TModuleSession::SendBytes(const std::string &bytes) {
    if (PlaybackOpen())
        return;
    // Counted as queued, whether or not a port takes them.
    fTXByteCount = int32_t(uint32_t(fTXByteCount) + uint32_t(bytes.size()));
    if (bytes.empty())
        return;
    if (fPortType == PK_nrComm1) {
        fnrComm1->SendData(bytes.data(), uint32_t(bytes.size()));
        return;
    }
    // One queued block holds at most 65535 bytes; a longer text goes in several.
    constexpr size_t kMaxBlock = std::numeric_limits<uint16_t>::max();
    for (size_t offset = 0; offset < bytes.size(); offset += kMaxBlock) {
        const size_t n = std::min(kMaxBlock, bytes.size() - offset);
        fComm1->WriteCommData(bytes.data() + offset, uint16_t(n));
    }
}

int32_t TModuleSession::SavedPhotoCount() const {
    const auto block = ModuleParameters();
    return block ? int32_t(block->SavedPhotoNum) : 0;
}

void TModuleSession::Comm1ReceiveData(const uint8_t *buffer, uint16_t length) {
    if (!buffer)
        return;
    Record(buffer, length);
    fIntake->Comm1ReceiveData(buffer, length);
}

void TModuleSession::nrComm1AfterReceive(const uint8_t *buffer, uint32_t received) {
    if (!buffer)
        return;
    Record(buffer, received);
    fIntake->nrComm1AfterReceive(buffer, received);
}

void TModuleSession::Record(const uint8_t *buffer, size_t length) {
    if (!fRecorder.IsRecording())
        return;
    std::string why;
    if (!fRecorder.Append(buffer, length, &why))
        emit RecordingFailed(QString::fromStdString(why));
}

bool TModuleSession::StartRecording(const QString &path, QString *error) {
    // The calibration the sensor image object took, the parameter block last received.
    std::vector<uint16_t> calibration;
    if (CalibrationReceived())
        calibration = fImage.GetEEPROMArr();
    std::vector<uint16_t> parameters;
    if (ParametersReceived())
        parameters.assign(fLastSysWords.begin(), fLastSysWords.end());
    std::string why;
    if (!fRecorder.Start(path.toStdString(), calibration, parameters, &why)) {
        if (error)
            *error = QString::fromStdString(why);
        return false;
    }
    return true;
}

bool TModuleSession::StopRecording(QString *error) {
    std::string why;
    if (!fRecorder.Stop(&why)) {
        if (error)
            *error = QString::fromStdString(why);
        return false;
    }
    return true;
}

bool TModuleSession::PlaybackOpen() const {
    return fPlayer && fPlayer->IsOpen();
}

void TModuleSession::Comm1LinkLost() {
    if (!fComm1->IsOpen())
        return;  // already closed (a notice of an earlier session)
    fComm1->StopComm();
    fSim.Stop();
    fConnected = false;
    emit LinkLost();
}
