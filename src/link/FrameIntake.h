#pragma once
// Frame intake of the main window: the receive handlers of the two serial
// components. They count the bytes, join the chunks of the main path into frames in
// the 4097-byte reassembly buffer and start one decoding worker (TThreadCOMRecv) per
// frame, at most one decoding at a time.
//
// Threads: the handlers run on the UI thread only; the workers on threads of their
// own. The window owns the intake and destroys it before the sensor image object.

#include "LinkCore.h"

#include <cstdint>
#include <memory>

class TFrameIntake {
public:
    TFrameIntake(TWindowState &state, TLinkHooks hooks);
    // Closes the UI dispatcher (a worker waiting for the UI thread is released
    // without running its call) and waits for the running workers to finish.
    ~TFrameIntake();
    TFrameIntake(const TFrameIntake &) = delete;
    TFrameIntake &operator=(const TFrameIntake &) = delete;

    // Receive event of Comm1: one chunk of bytes, valid only during the call.
    void Comm1ReceiveData(const uint8_t *buffer, uint16_t bufferLength);
    // Receive event of the alternative component nrComm1: no reassembly; each chunk
    // that begins with "MLX" goes to a worker by itself, or is dropped while one is busy.
    void nrComm1AfterReceive(const uint8_t *buffer, uint32_t received);

    // The hidden check box chk_DouFrameUpdate; the window sets it when the box changes.
    void SetDouFrameUpdate(bool checked) { fCore->DouFrameUpdate.store(checked); }
    bool GetDouFrameUpdate() const { return fCore->DouFrameUpdate.load(); }

    // True when no worker runs (decoding or handing off).
    bool IsIdle() const { return fCore->IsIdle(); }
    // Workers started and not yet finished (at most one decoding, one handing off).
    int RunningWorkers() const { return fCore->RunningWorkers(); }
    // Waits until no worker runs, running the workers' UI-thread calls meanwhile;
    // call it on the UI thread. The program itself never waits; the replay tool and
    // the tests do.
    void WaitIdle() { fCore->WaitIdle(); }

private:
    // Starts a worker on a copy of len bytes; the busy flag is raised first.
    void StartWorker(const uint8_t *data, int32_t len);
    void CountReceived(uint32_t len, int32_t prefixLanguage, bool examined);

    std::shared_ptr<TLinkCore> fCore;
};
