// Fuzz target of the frame intake: arbitrary byte streams, cut into chunks of sizes
// chosen by the input, go through the receive handlers and the decoding workers.
//
// Input: byte 0 holds flags (bit 0 unused, bit 1 double-frame option, bit 2
// calibration already accepted) and, in bits 3..7, the number n - 1 of chunk
// descriptors that follow: 2 bytes each, little-endian, bits 0..12 the chunk size
// (0..8191), bit 13 the alternative receive path, bit 14 a decoder that is busy
// while the chunk arrives. The rest of the input is cut into chunks with those
// sizes, in turn, until it is used up. After every chunk the link is waited for.
//
// Besides the sanitizers, the target checks what callers rely on: the shapes of
// the arrays handed to the sensor image object and to UpdateSysParsShow, the fill
// level of the reassembly buffer and a busy flag that falls once the link is idle.
// The workers run on reused threads (ReusedThreads.h), so a long run stays flat.

#include "fuzz/ReusedThreads.h"
#include "link/FrameIntake.h"
#include "link/StdUiDispatcher.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

class TShapeCheckingSink : public TFrameSink {
public:
    void SetEEPROMArr(const TUINT16s &words) override { Check(words.size() == 833 && words.back() == 0); }
    void SetRAMArr(const TUINT16s &words) override {
        // A frame or photo: 835 words ending in 0; half frames: the merge buffer.
        Check((words.size() == 835 && words.back() == 0) || words.size() == 4096);
        if (words.size() == 4096)
            Check((words[833] & 0xFF) <= 1);  // the subpage byte of the last half frame
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 3)
        return 0;
    const uint8_t flags = data[0];
    const size_t descriptors = size_t(flags >> 3) + 1;
    if (size < 1 + 2 * descriptors)
        return 0;
    std::vector<uint16_t> sizes(descriptors);
    for (size_t k = 0; k < descriptors; ++k)
        sizes[k] = uint16_t(data[1 + 2 * k] | (data[2 + 2 * k] << 8));
    const uint8_t *payload = data + 1 + 2 * descriptors;
    const size_t payloadSize = size - 1 - 2 * descriptors;

    auto dispatcher = std::make_shared<TStdUiDispatcher>();
    TLinkHooks hooks;
    hooks.Sink = std::make_shared<TShapeCheckingSink>();
    hooks.Dispatcher = dispatcher;
    hooks.UpdateSysParsShow = [](const TUINT16s &pars) { Check(pars.size() == 32); };
    int actions = 0;
    hooks.ReadParsAction = [&actions] { ++actions; };
    hooks.StartThread = [](std::function<void()> body) {
        return TReusedThreads::Shared().Start(std::move(body));
    };
    auto intake = std::make_unique<TFrameIntake>(hooks);
    TLinkCore &core = intake->Core();
    core.EEIsOK.store((flags & 4) != 0);
    intake->SetDouFrameUpdate((flags & 2) != 0);

    size_t at = 0;
    size_t cycleStart = 0;
    for (size_t k = 0; at < payloadSize; ++k) {
        const uint16_t d = sizes[k % descriptors];
        const size_t len = std::min<size_t>(d & 0x1FFF, payloadSize - at);
        // Each chunk in its own allocation, so reads beyond it are caught.
        const std::vector<uint8_t> chunk(payload + at, payload + at + len);
        at += len;
        const bool busy = (d & 0x4000) != 0;
        if (busy)
            core.ComRecvBusy.store(true);
        if (d & 0x2000)
            intake->nrComm1AfterReceive(chunk.data(), uint32_t(chunk.size()));
        else
            intake->Comm1ReceiveData(chunk.data(), uint16_t(chunk.size()));
        if (busy)
            core.ComRecvBusy.store(false);
        intake->WaitIdle();
        Check(intake->BufferedBytes() >= 0 && intake->BufferedBytes() <= 4096);
        Check(!core.ComRecvBusy.load());
        if (k % descriptors == descriptors - 1) {
            if (at == cycleStart)
                break;  // every size is 0: nothing more would be consumed
            cycleStart = at;
        }
    }
    Check(intake->ReceiveCounters().RXByteTotal == int64_t(at));
    intake.reset();
    return 0;
}
