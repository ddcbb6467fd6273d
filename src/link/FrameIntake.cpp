#include "FrameIntake.h"

#include "FrameFormat.h"
#include "LinkTexts.h"
#include "ThreadCOMRecv.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int32_t kBufferLimit = TWindowState::RecvBufSize - 1;  // 4096 usable bytes
constexpr int32_t kRestartAbove = 2048;
constexpr uint32_t kIgnoredChunkMax = 5;
}  // namespace

TFrameIntake::TFrameIntake(TWindowState &state, TLinkHooks hooks)
    : fCore(std::make_shared<TLinkCore>(state, std::move(hooks))) {
    // The merge buffer must hold a frame memory before the first half frame arrives.
    std::lock_guard<std::mutex> lock(fCore->HandOffMutex);
    if (state.RecvedFrmDatas.size() < size_t(FrameLayout::FrameWords))
        state.RecvedFrmDatas.resize(4096, 0);
}

TFrameIntake::~TFrameIntake() {
    if (fCore->Hooks.Dispatcher)
        fCore->Hooks.Dispatcher->Close();
    fCore->WaitIdle();
}

void TFrameIntake::CountReceived(uint32_t len, int32_t prefixLanguage, bool examined) {
    TWindowState &s = fCore->State;
    s.RXByteCount.fetch_add(static_cast<int32_t>(len));
    const int64_t total = s.RXByteTotal.fetch_add(len) + len;
    if (!examined)
        return;
    s.HaveRecvDatas.store(true);
    s.RecvCounter_Text.Set(RecvCounterText(total, prefixLanguage));
}

void TFrameIntake::StartWorker(const uint8_t *data, int32_t len) {
    fCore->State.ComRecvBusy.store(true);
    fCore->WorkerStarting();
    TThreadCOMRecv::Start(std::make_unique<TThreadCOMRecv>(fCore, data, len));
}

void TFrameIntake::Comm1ReceiveData(const uint8_t *buffer, uint16_t bufferLength) {
    TWindowState &s = fCore->State;
    const bool examined = bufferLength > kIgnoredChunkMax;
    CountReceived(bufferLength, s.LanguageNum.load(), examined);
    if (!examined)
        return;

    int32_t &counter = s.spPort_RecvCounter;
    if (counter > kRestartAbove)
        counter = 0;
    if (counter + int32_t(bufferLength) > kBufferLimit)
        counter = 0;
    if (BeginsWithMLX(buffer, bufferLength))
        counter = 0;
    // A chunk longer than the whole buffer keeps only what fits; nothing is written
    // beyond the buffer.
    const int32_t stored = std::min<int32_t>(bufferLength, kBufferLimit - counter);
    std::memcpy(s.spPort_RecvBuf + counter, buffer, size_t(stored));
    counter += stored;

    if (BeginsWithMLX(s.spPort_RecvBuf, size_t(counter))) {
        // Wait until the frame (with its check word) is wholly in the buffer.
        const TFrameType type = FrameTypeOf(s.spPort_RecvBuf, size_t(counter));
        if (counter < FrameCompleteLength(type))
            return;
        if (s.ComRecvBusy.load())
            return;  // the frame waits in the buffer
        s.dataRecvRate.fetch_add(1);
        StartWorker(s.spPort_RecvBuf, counter);
        counter = 0;
    } else if (BeginsWithTYPE(buffer, bufferLength) && fCore->Hooks.ReadParsAction) {
        // All buffer work is done: the action may handle further chunks while it waits.
        fCore->Hooks.ReadParsAction();
    }
}

void TFrameIntake::nrComm1AfterReceive(const uint8_t *buffer, uint32_t received) {
    TWindowState &s = fCore->State;
    const bool examined = received > kIgnoredChunkMax;
    // This path's counter text always carries the Chinese prefix.
    CountReceived(received, 0, examined);
    if (!examined)
        return;
    if (BeginsWithMLX(buffer, received)) {
        s.dataRecvRate.fetch_add(1);
        if (s.ComRecvBusy.load())
            return;  // dropped: this path keeps no buffer
        // A worker's frame length is a 32-bit signed count.
        StartWorker(buffer, int32_t(std::min<uint32_t>(received, INT32_MAX)));
    } else if (BeginsWithTYPE(buffer, received) && fCore->Hooks.ReadParsAction) {
        fCore->Hooks.ReadParsAction();
    }
}
