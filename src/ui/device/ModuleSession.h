#pragma once
// TModuleSession: the program's session with the thermal-imaging module. It owns
// the serial components (Comm1 on termios, the alternative nrComm1 on Qt
// SerialPort), the frame intake that their receive handlers feed, the built-in
// virtual module "SIM", and the connection state: connected or not, which component
// is in use, the bytes sent, the read-parameters protection, what the module has
// reported. The window reads its controls and calls the session; the session tells
// the window what happened through signals. It decides nothing about controls or
// texts.
//
// Threads: created and used on the UI thread. The intake's decoding workers call
// back through the session's UI dispatcher; LinkLost and SysParsReceived are
// emitted on the UI thread.

#include "link/FrameIntake.h"
#include "protocol/SysParsBlock.h"
#include "ui/device/PortSettings.h"
#include "ui/device/SimPort.h"
#include "ui/playback/CaptureRecorder.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TCapturePlayer;
class TComm;
class TMLX90640;
class TnrComm;

// The serial component in use (portType): 0 Comm1, 1 nrComm1.
enum TPortKind : int32_t { PK_Comm1 = 0, PK_nrComm1 = 1 };

// Why opening the port failed; empty when it succeeded.
struct TPortOpenFailure {
    QString Reason;  // the component's own text
    int Errno = 0;   // errno of the failed open when the system gave one
    bool IsFailure() const { return !Reason.isEmpty(); }
};

class TModuleSession : public QObject {
    Q_OBJECT
public:
    // Decoded calibration and frames go to `image`, which must outlive the session.
    explicit TModuleSession(TMLX90640 &image, QObject *parent = nullptr);
    ~TModuleSession() override;

    // ---- Comm1: a serial device, or "SIM", the built-in virtual module.
    // Closes the port and stops the virtual module (the connect step begins so).
    void StopPort();
    // Opens `portText` (a device, "COMn" or "SIM") with `settings`; on success the
    // session is connected. A failure leaves it disconnected.
    // Playback stops and its file closes first.
    TPortOpenFailure OpenPort(const TPortSettings &settings, const QString &portText);
    // Disconnects: closes the port, stops the virtual module.
    void ClosePort();
    bool IsConnected() const { return fConnected; }
    TPortKind GetportType() const { return fPortType; }
    // The read interval time-out of Comm1, applied at once when the port is open.
    void SetReadIntervalTimeout(uint32_t milliseconds);

    // ---- nrComm1, reached only through a hidden button; it opens its own stored
    // port. SetAlternativeActive(true) throws when the port cannot be opened.
    void SetAlternativeActive(bool active);
    bool AlternativeActive() const;

    // ---- Sending. The bytes go to the component in use; with no port open they go
    // nowhere but are counted all the same. While a recording is open for playback
    // nothing is sent or counted: there is no module to command.
    void SendBytes(const std::string &bytes);
    int32_t TXByteCount() const { return fTXByteCount; }

    // ---- The read-parameters protection (ReadParsIsBusy): while it is up, the
    // device-parameter controls send nothing when the module's answer changes them.
    // Nested holders (an action started by the module's "TYPE" reply while another
    // runs, the language switch) each hold it; it drops when the last lets go.
    void BeginReadPars() { ++fReadParsDepth; }
    void EndReadPars() {
        if (fReadParsDepth > 0)
            --fReadParsDepth;
    }
    bool ReadParsIsBusy() const { return fReadParsDepth > 0; }

    // ---- What the module has reported.
    bool CalibrationReceived() const { return fIntake->CalibrationReceived(); }  // EEIsOK
    bool ParametersReceived() const { return fIntake->ParametersReceived(); }    // SYSIsOK
    // The last system-parameter block, from a "SYS" frame or a frame's block.
    std::optional<TSysParsBlock> ModuleParameters() const { return fIntake->Status().Block; }
    // Photos saved in the module, as last reported (0 before any report).
    int32_t SavedPhotoCount() const;

    // ---- Recording: every chunk Comm1 or nrComm1 receives goes to the capture file
    // with its arrival time; the calibration and the parameter block received so far
    // go first. False with a message when the file cannot be made.
    bool StartRecording(const QString &path, QString *error);
    // Ends the recording; false with a message when its last bytes could not be written.
    bool StopRecording(QString *error);
    bool IsRecording() const { return fRecorder.IsRecording(); }
    const TCaptureRecorder &Recorder() const { return fRecorder; }
    // The words of the last "SYS" frame (empty before the first).
    const TUINT16s &LastSysWords() const { return fLastSysWords; }

    // ---- Playback: a recording played into the intake as if a module sent it.
    TCapturePlayer &Player() { return *fPlayer; }
    // A recording is open for playback (playing, paused or at its end).
    bool PlaybackOpen() const;

    // ---- The frame intake and the virtual module (the live view and tests).
    TFrameIntake &Intake() { return *fIntake; }
    const TFrameIntake &Intake() const { return *fIntake; }
    TSimPort &Sim() { return fSim; }
    TComm &Comm1() { return *fComm1; }
    TnrComm &nrComm1() { return *fnrComm1; }

signals:
    // Comm1's device went away or its line failed; the session has closed the port
    // and stopped the virtual module.
    void LinkLost();
    // nrComm1's device went away; the component has closed itself.
    void AlternativeLinkLost();
    // A "SYS" frame: the module's 32-word parameter block (UpdateSysParsShow). The
    // decoding worker waits until the handlers have run.
    void SysParsReceived(const TUINT16s &pars);
    // The module's type reply ("TYPE..."): it has just started and wants asking.
    void TypeReplyReceived();
    // Writing the recording failed; it has ended, the file keeps what was written whole.
    void RecordingFailed(const QString &why);

private:
    void Comm1ReceiveData(const uint8_t *buffer, uint16_t length);
    void nrComm1AfterReceive(const uint8_t *buffer, uint32_t received);
    void Comm1LinkLost();
    void Record(const uint8_t *buffer, size_t length);

    TMLX90640 &fImage;
    TComm *fComm1 = nullptr;      // child of the session
    TnrComm *fnrComm1 = nullptr;  // child of the session
    std::unique_ptr<TFrameIntake> fIntake;
    TSimPort fSim;
    bool fConnected = false;
    TPortKind fPortType = PK_Comm1;
    int32_t fTXByteCount = 0;
    int fReadParsDepth = 0;
    TCaptureRecorder fRecorder;
    TUINT16s fLastSysWords;
    TCapturePlayer *fPlayer = nullptr;  // child of the session
};

// Holds the read-parameters protection for its lifetime.
class TReadParsHold {
public:
    explicit TReadParsHold(TModuleSession &session) : fSession(session) { fSession.BeginReadPars(); }
    ~TReadParsHold() { fSession.EndReadPars(); }
    TReadParsHold(const TReadParsHold &) = delete;
    TReadParsHold &operator=(const TReadParsHold &) = delete;

private:
    TModuleSession &fSession;
};
