#pragma once
// Frame intake: the receive handlers of the two serial components. They count the
// bytes, join the chunks of the main path into frames in the 4097-byte reassembly
// buffer and start one decoding worker (TThreadCOMRecv) per frame, at most one
// decoding at a time. A chunk of the main path may hold the end of one frame and the
// starts of others (the line delivers frames merged into chunks of up to 4096
// bytes): it is handled piece by piece, cut at every frame start. A frame that is
// complete while the decoder is busy waits in the buffer until the next frame
// starts, then in a small queue of its own; the oldest waiting frame goes to a
// worker as soon as the decoder is idle.
//
// Threads: the handlers and every accessor run on the UI thread only; the workers
// on threads of their own. The owner destroys the intake before the sensor image
// object that its sink feeds.

#include "link/LinkCore.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

// Which receive path counted the last chunk: the main component's or the
// alternative one's (whose counter text always carries the Chinese prefix).
enum class TReceivePath : uint8_t { Main, Alternative };

struct TReceiveCounters {
    int32_t RXByteCount = 0;  // bytes received, wrapping at 32 bits
    int64_t RXByteTotal = 0;  // the same without the wrap-around
    // The total as it stood after the last chunk long enough to be examined: the
    // receive counter shows this (shorter chunks are counted but change no text).
    int64_t ShownTotal = 0;
    TReceivePath LastPath = TReceivePath::Main;
};

// Frame rates of the past second: frames handed to a worker, frames handed to the
// sensor image object.
struct TLinkRates {
    int32_t Received = 0;
    int32_t Computed = 0;
};

class TFrameIntake {
public:
    static constexpr int RecvBufSize = 4097;

    explicit TFrameIntake(TLinkHooks hooks);
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
    // Hands the oldest waiting frame (queued, else the one in the reassembly buffer
    // once it is whole, or complete on a quiet line) to a worker when the decoder is
    // idle; true when a worker was started. The window calls it at every live-view
    // tick, so a waiting frame does not wait for the next chunk of the line.
    bool DispatchPending();

    // Complete frames queued for the decoder, and those dropped because the queue
    // was full (the oldest goes first).
    size_t PendingFrames() const { return fPending.size(); }
    uint64_t DroppedFrames() const { return fDropped; }
    static constexpr size_t PendingMax = 4;
    // Bytes held in the reassembly buffer, and the buffer itself.
    int32_t BufferedBytes() const { return spPort_RecvCounter; }
    const uint8_t *BufferedData() const { return spPort_RecvBuf; }

    // A frame that is complete but whose trailing block (or photo date) may still be
    // on its way waits for it, for the next frame, or until the line has been quiet
    // this long; then DispatchPending hands it over without the missing part.
    static constexpr int DefaultBlockWaitMs = 20;
    void SetBlockWaitMs(int milliseconds) { fBlockWaitMs = milliseconds; }

    // The hidden check box chk_DouFrameUpdate; the window sets it when the box changes.
    void SetDouFrameUpdate(bool checked) { fCore->DouFrameUpdate.store(checked); }
    // Whole frames whose check word fails, and a failing calibration memory while one
    // is held, are dropped (counted in the status) rather than handed over.
    void SetDropFailedFrames(bool drop) { fCore->DropFailedFrames.store(drop); }

    // What the module has sent so far: its calibration memory, its parameter block.
    bool CalibrationReceived() const { return fCore->EEIsOK.load(); }
    bool ParametersReceived() const { return fCore->SYSIsOK.load(); }

    // Receive statistics; TakeReceiveNews tells, once, that they changed since the
    // last call (a chunk long enough to be examined arrived).
    TReceiveCounters ReceiveCounters() const { return fCounters; }
    bool TakeReceiveNews();
    bool HasReceiveNews() const { return HaveRecvDatas; }
    // The rates of the past second; TakeRates starts both counts again from 0.
    TLinkRates TakeRates();
    TLinkRates Rates() const { return {dataRecvRate, fCore->dataCalcRate.load()}; }
    // The decoding status as one value.
    TLinkStatus Status() const { return fCore->Status.Get(); }

    // True when no worker runs (decoding or handing off).
    bool IsIdle() const { return fCore->IsIdle(); }
    // Workers started and not yet finished (at most one decoding, one handing off).
    int RunningWorkers() const { return fCore->RunningWorkers(); }
    // Waits until no worker runs and no complete frame waits for the decoder (the one
    // in the buffer goes without a trailing block that has not come), running the workers' UI-thread
    // calls meanwhile; call it on the UI thread. Called from inside such a call, it
    // does not wait for the worker that made it. The replay tool and the tests wait
    // often; the window waits only when it closes.
    void WaitIdle();

    // Drops the frame under way and the frames waiting for the decoder, then waits
    // for the running workers (as WaitIdle does), so what comes next starts afresh;
    // counters and flags stay. Playback calls it when it jumps. UI thread.
    void DiscardBuffered();

    // The state the intake shares with its workers (flags, merge buffer, status).
    TLinkCore &Core() { return *fCore; }

private:
    // Starts a worker on a copy of len bytes; the busy flag is raised first.
    void StartWorker(const uint8_t *data, int32_t len);
    void CountReceived(uint32_t len, TReceivePath path, bool examined);
    // Bytes still missing from the frame begun in the reassembly buffer (0 when none
    // is under way); chunk supplies the type letters when the buffer lacks them.
    size_t MissingOfBufferedFrame(const uint8_t *chunk, size_t len) const;
    // One piece of a chunk: the buffer limits, the copy; sets typeAction when the
    // piece asks for the read-parameters action.
    void StorePiece(const uint8_t *piece, size_t len, bool first, bool &typeAction);
    // The type of the frame begun in the reassembly buffer; None when it holds none.
    TFrameType BufferedFrameType() const;
    // It holds enough of that frame to decode / all of it up to its check word / the
    // whole frame with its trailing part.
    bool BufferHoldsDecodableFrame() const;
    bool BufferHoldsCompleteFrame() const;
    bool BufferHoldsWholeFrame() const;
    // The chunk carries more of the frame under way in the buffer.
    bool ContinuesBufferedFrame(const uint8_t *chunk, size_t len) const;
    bool LineQuietFor(int milliseconds) const;
    // Moves a complete frame out of the buffer into the queue before the buffer is
    // started again.
    void QueueBufferedFrame();
    // Hands the oldest queued frame to an idle decoder.
    bool DispatchQueued();
    // DispatchPending; with `flush` a complete frame in the buffer goes without
    // waiting for a trailing block.
    bool DispatchWaiting(bool flush);

    std::shared_ptr<TLinkCore> fCore;
    // UI thread only: the reassembly buffer of the main path and its fill level, the
    // queue of complete frames, the receive statistics.
    uint8_t spPort_RecvBuf[RecvBufSize] = {};
    int32_t spPort_RecvCounter = 0;
    std::deque<std::vector<uint8_t>> fPending;
    uint64_t fDropped = 0;
    TReceiveCounters fCounters;
    bool HaveRecvDatas = false;
    int32_t dataRecvRate = 0;
    std::chrono::steady_clock::time_point fLastChunk = std::chrono::steady_clock::now();
    int fBlockWaitMs = DefaultBlockWaitMs;
};
