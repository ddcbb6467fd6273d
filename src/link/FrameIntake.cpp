#include "link/FrameIntake.h"

#include "link/ThreadCOMRecv.h"
#include "protocol/ChunkSplit.h"
#include "protocol/FrameFormat.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
constexpr int32_t kBufferLimit = TFrameIntake::RecvBufSize - 1;  // 4096 usable bytes
constexpr int32_t kRestartAbove = 2048;
constexpr uint32_t kIgnoredChunkMax = 5;
}  // namespace

TFrameIntake::TFrameIntake(TLinkHooks hooks) : fCore(std::make_shared<TLinkCore>(std::move(hooks))) {}

TFrameIntake::~TFrameIntake() {
    if (fCore->Hooks.Dispatcher)
        fCore->Hooks.Dispatcher->Close();
    fCore->WaitIdle();
}

void TFrameIntake::CountReceived(uint32_t len, TReceivePath path, bool examined) {
    // The 32-bit count wraps as a 32-bit signed counter would; the total does not.
    fCounters.RXByteCount = int32_t(uint32_t(fCounters.RXByteCount) + len);
    fCounters.RXByteTotal += len;
    if (!examined)
        return;
    fCounters.LastPath = path;
    fCounters.ShownTotal = fCounters.RXByteTotal;
    HaveRecvDatas = true;
}

bool TFrameIntake::TakeReceiveNews() {
    const bool news = HaveRecvDatas;
    HaveRecvDatas = false;
    return news;
}

TLinkRates TFrameIntake::TakeRates() {
    TLinkRates rates;
    rates.Received = dataRecvRate;
    dataRecvRate = 0;
    rates.Computed = fCore->dataCalcRate.exchange(0);
    return rates;
}

void TFrameIntake::StartWorker(const uint8_t *data, int32_t len) {
    fCore->ComRecvBusy.store(true);
    fCore->WorkerStarting();
    TThreadCOMRecv::Start(std::make_unique<TThreadCOMRecv>(fCore, data, len));
}

void TFrameIntake::WaitIdle() {
    // A finished worker may leave frames waiting: hand them over one after another,
    // the one in the buffer too as soon as it can be decoded.
    do {
        fCore->WaitIdle();
    } while (DispatchWaiting(true));
}

void TFrameIntake::DiscardBuffered() {
    spPort_RecvCounter = 0;
    fPending.clear();
    fCore->WaitIdle();
}

size_t TFrameIntake::MissingOfBufferedFrame(const uint8_t *chunk, size_t len) const {
    const int32_t counter = spPort_RecvCounter;
    if (counter <= 0 || counter > kRestartAbove || !BeginsWithMLX(spPort_RecvBuf, size_t(counter)))
        return 0;
    // The type letters may still be on their way: take them from the chunk.
    uint8_t head[FrameLayout::PayloadPos];
    size_t n = std::min<size_t>(size_t(counter), sizeof head);
    std::memcpy(head, spPort_RecvBuf, n);
    const size_t fromChunk = std::min(sizeof head - n, len);
    std::memcpy(head + n, chunk, fromChunk);
    n += fromChunk;
    const int complete = FrameCompleteLength(FrameTypeOf(head, n));
    return complete > counter ? size_t(complete - counter) : 0;
}

TFrameType TFrameIntake::BufferedFrameType() const {
    const int32_t counter = spPort_RecvCounter;
    if (counter <= 0 || !BeginsWithMLX(spPort_RecvBuf, size_t(counter)))
        return TFrameType::None;
    return FrameTypeOf(spPort_RecvBuf, size_t(counter));
}

bool TFrameIntake::BufferHoldsDecodableFrame() const {
    const TFrameType type = BufferedFrameType();
    return type != TFrameType::None && spPort_RecvCounter >= FrameDecodableLength(type);
}

bool TFrameIntake::BufferHoldsCompleteFrame() const {
    const TFrameType type = BufferedFrameType();
    return type != TFrameType::None && spPort_RecvCounter >= FrameCompleteLength(type);
}

bool TFrameIntake::BufferHoldsWholeFrame() const {
    const TFrameType type = BufferedFrameType();
    return type != TFrameType::None && spPort_RecvCounter >= FrameFullLength(type);
}

bool TFrameIntake::ContinuesBufferedFrame(const uint8_t *chunk, size_t len) const {
    const TFrameType type = BufferedFrameType();
    return type != TFrameType::None && spPort_RecvCounter < FrameFullLength(type) &&
           !BeginsWithMLX(chunk, len) && int64_t(spPort_RecvCounter) + int64_t(len) <= kBufferLimit;
}

bool TFrameIntake::LineQuietFor(int milliseconds) const {
    return std::chrono::steady_clock::now() - fLastChunk >= std::chrono::milliseconds(milliseconds);
}

void TFrameIntake::QueueBufferedFrame() {
    // A frame long enough to decode goes on even when its check word or trailing
    // block never came: the decoder judges what it has.
    if (!BufferHoldsDecodableFrame())
        return;
    if (fPending.size() >= PendingMax) {
        fPending.pop_front();
        ++fDropped;
    }
    fPending.emplace_back(spPort_RecvBuf, spPort_RecvBuf + spPort_RecvCounter);
    spPort_RecvCounter = 0;
}

bool TFrameIntake::DispatchQueued() {
    if (fPending.empty() || fCore->ComRecvBusy.load())
        return false;
    const std::vector<uint8_t> frame = std::move(fPending.front());
    fPending.pop_front();
    ++dataRecvRate;
    StartWorker(frame.data(), int32_t(frame.size()));
    return true;
}

bool TFrameIntake::DispatchPending() {
    return DispatchWaiting(false);
}

bool TFrameIntake::DispatchWaiting(bool flush) {
    if (DispatchQueued())
        return true;
    if (!fPending.empty() || fCore->ComRecvBusy.load())
        return false;
    // A frame goes on once its trailing block (or photo date) is in; a complete frame
    // without one once the line has been quiet a while (the module sends none). A
    // frame cut short waits for the next frame to start (QueueBufferedFrame).
    const bool ready =
        BufferHoldsWholeFrame() || (BufferHoldsCompleteFrame() && (flush || LineQuietFor(fBlockWaitMs)));
    if (!ready)
        return false;
    ++dataRecvRate;
    StartWorker(spPort_RecvBuf, spPort_RecvCounter);
    spPort_RecvCounter = 0;
    return true;
}

void TFrameIntake::StorePiece(const uint8_t *piece, size_t len, bool first, bool &typeAction) {
    int32_t &counter = spPort_RecvCounter;
    // The buffer limits: above 2048 bytes buffered, when the piece would not fit, or
    // when it starts a frame, the piece is stored from position 0. A complete frame
    // still in the buffer is queued first rather than overwritten.
    if (counter > kRestartAbove || int64_t(counter) + int64_t(len) > kBufferLimit ||
        BeginsWithMLX(piece, len)) {
        QueueBufferedFrame();
        counter = 0;
    }
    // A piece longer than the whole buffer keeps only what fits; nothing is written
    // beyond the buffer.
    const int32_t stored = int32_t(std::min<size_t>(len, size_t(kBufferLimit - counter)));
    std::memcpy(spPort_RecvBuf + counter, piece, size_t(stored));
    counter += stored;

    if (first && !BeginsWithMLX(spPort_RecvBuf, size_t(counter)) && BeginsWithTYPE(piece, len))
        typeAction = true;
}

void TFrameIntake::Comm1ReceiveData(const uint8_t *buffer, uint16_t bufferLength) {
    const bool examined = bufferLength > kIgnoredChunkMax;
    CountReceived(bufferLength, TReceivePath::Main, examined);
    fLastChunk = std::chrono::steady_clock::now();
    // A chunk of five bytes or fewer is only counted - unless it carries the last
    // bytes of the frame under way (its check word, the end of its block), which
    // would otherwise never complete.
    if (!examined && !(bufferLength > 0 && ContinuesBufferedFrame(buffer, bufferLength)))
        return;
    DispatchQueued();

    // A chunk that begins with "MLX" starts a new frame; otherwise its first bytes may
    // complete the frame under way, and an "MLX" among them is that frame's data.
    size_t continuing =
        BeginsWithMLX(buffer, bufferLength) ? 0 : MissingOfBufferedFrame(buffer, bufferLength);
    // The module's type reply ("TYPE=MLX90640") names the sensor: its "MLX" is text.
    if (BeginsWithTYPE(buffer, bufferLength)) {
        const auto *end = static_cast<const uint8_t *>(std::memchr(buffer, '\n', bufferLength));
        continuing = std::max(continuing, end ? size_t(end - buffer) + 1 : size_t(bufferLength));
    }
    const std::vector<TChunkSpan> pieces = SplitAtFrameStarts(buffer, bufferLength, continuing);
    bool typeAction = false;
    for (size_t i = 0; i < pieces.size(); ++i) {
        StorePiece(buffer + pieces[i].offset, pieces[i].length, i == 0, typeAction);
        // A frame completed by this piece goes to the decoder now if it is idle, or
        // waits in the buffer (or the queue) until it is.
        DispatchPending();
    }
    if (typeAction && fCore->Hooks.ReadParsAction) {
        // All buffer work is done: the action may handle further chunks while it waits.
        fCore->Hooks.ReadParsAction();
    }
}

void TFrameIntake::nrComm1AfterReceive(const uint8_t *buffer, uint32_t received) {
    const bool examined = received > kIgnoredChunkMax;
    CountReceived(received, TReceivePath::Alternative, examined);
    if (!examined)
        return;
    if (BeginsWithMLX(buffer, received)) {
        ++dataRecvRate;
        if (fCore->ComRecvBusy.load())
            return;  // dropped: this path keeps no buffer
        // A worker's frame length is a 32-bit signed count.
        StartWorker(buffer, int32_t(std::min<uint32_t>(received, INT32_MAX)));
    } else if (BeginsWithTYPE(buffer, received) && fCore->Hooks.ReadParsAction) {
        fCore->Hooks.ReadParsAction();
    }
}
