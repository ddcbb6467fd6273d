// Frames that the line delivers merged into chunks: every frame of a chunk reaches
// the decoder, in order, also while the decoder is busy; an "MLX" inside a frame's
// words is data; the splitter that cuts the chunks.

#include "link/LinkTestSupport.h"
#include "protocol/ChunkSplit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr int kFrames = 10;

// Frame memory n: word 768 numbers the frame, subpages alternate.
TUINT16s NumberedRam(int n) {
    TUINT16s ram = RamWords(uint16_t(100 + n), n % 2);
    ram[768] = uint16_t(n);
    return ram;
}

// The frame memory as handed to the sink (with the check word's slot 834).
TUINT16s AsHandedOver(TUINT16s ram) {
    ram.push_back(0);
    return ram;
}

// Ten "FRM" frames back to back, with their parameter block (1748 bytes each) or
// without (1677 bytes each).
TBytes TenFrames(bool withBlock = true) {
    const TUINT16s block = SysBlock(3000, 0x2103, 0x0509, 0x4517, 12);
    TBytes stream;
    for (int n = 0; n < kFrames; ++n) {
        const TBytes f = FrmFrame(NumberedRam(n), true, withBlock ? &block : nullptr);
        stream.insert(stream.end(), f.begin(), f.end());
    }
    return stream;
}

std::vector<TBytes> Chunks(const TBytes &stream, size_t size) {
    std::vector<TBytes> chunks;
    for (size_t at = 0; at < stream.size(); at += size)
        chunks.emplace_back(stream.begin() + at, stream.begin() + std::min(stream.size(), at + size));
    return chunks;
}

std::unique_ptr<TLinkHarness> CalibratedHarness() {
    auto h = std::make_unique<TLinkHarness>();
    h->FeedAndWait(EemFrame(PatternWords(832, 100)));
    h->intake->TakeRates();  // as the once-a-second rate timer does
    return h;
}

void ExpectAllTenInOrder(TLinkHarness &h) {
    const auto rams = h.sink->Rams();
    ASSERT_EQ(rams.size(), size_t(kFrames));
    for (int n = 0; n < kFrames; ++n)
        EXPECT_EQ(rams[n], AsHandedOver(NumberedRam(n))) << "frame " << n;
    EXPECT_EQ(h.intake->Rates().Received, kFrames);
    EXPECT_EQ(h.intake->DroppedFrames(), 0u);
    EXPECT_EQ(h.intake->PendingFrames(), 0u);
    EXPECT_EQ(h.check().rfind("correct", 0), 0u);
}

}  // namespace

TEST(MergedChunks, EveryFrameReachesTheSinkInOrderWhateverTheChunking) {
    for (size_t size : {size_t(4096), size_t(1000), size_t(3000)}) {
        SCOPED_TRACE(size);
        auto h = CalibratedHarness();
        for (const TBytes &chunk : Chunks(TenFrames(), size)) {
            h->Feed(chunk);
            h->Wait();
        }
        ExpectAllTenInOrder(*h);
        // The last frame carries its own bytes, its block included, and nothing else.
        EXPECT_EQ(h->lastFrame(), "FRM1 1748");
    }
}

TEST(MergedChunks, OneBytePieceLeftBySplittingCompletesItsFrame) {
    // Each chunk holds the last byte of the frame before (its check word's low byte:
    // a piece of one byte) and then all of the next frame but its last byte.
    auto h = CalibratedHarness();
    const TBytes stream = TenFrames(false);
    const size_t frame = stream.size() / kFrames;
    h->Feed(TBytes(stream.begin(), stream.begin() + frame - 1));
    h->Wait();
    EXPECT_EQ(h->intake->Rates().Received, 0);
    for (int n = 1; n < kFrames; ++n) {
        h->Feed(TBytes(stream.begin() + n * frame - 1, stream.begin() + (n + 1) * frame - 1));
        h->Wait();
        EXPECT_EQ(h->intake->Rates().Received, n);
    }
    TBytes last = {stream.back()};
    last.resize(6, 0x00);  // the line's next bytes, so the chunk is examined
    h->Feed(last);
    h->Wait();
    ExpectAllTenInOrder(*h);
    EXPECT_EQ(h->lastFrame(), "FRM1 1682");
}

TEST(MergedChunks, FramesWaitInTheQueueWhileTheDecoderIsSlow) {
    auto h = CalibratedHarness();
    h->sink->RamCallMicros.store(30000);  // each hand-off takes 30 ms
    const std::vector<TBytes> chunks = Chunks(TenFrames(), 4096);
    size_t mostPending = 0;
    for (const TBytes &chunk : chunks) {
        // A chunk (up to three complete frames) arrives faster than one hand-off.
        h->Feed(chunk);
        mostPending = std::max(mostPending, h->intake->PendingFrames());
        EXPECT_LE(h->intake->PendingFrames(), TFrameIntake::PendingMax);
        // The live-view tick hands the waiting frames over one by one.
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (h->intake->PendingFrames() > 0 && std::chrono::steady_clock::now() < end) {
            h->dispatcher->ProcessPending();
            h->intake->DispatchPending();
            std::this_thread::sleep_for(1ms);
        }
    }
    h->Wait();
    EXPECT_GE(mostPending, 1u);
    ExpectAllTenInOrder(*h);
    EXPECT_EQ(h->sink->Overlaps(), 0);
}

TEST(MergedChunks, FullQueueDropsTheOldestFrameAndCountsIt) {
    TLinkHarness h;
    TBytes chunk;
    for (uint16_t n = 0; n < 7; ++n) {
        const TBytes sys = SysFrame(SysBlock(n, 0, 0, 0, 0));
        chunk.insert(chunk.end(), sys.begin(), sys.end());
    }
    h.core->ComRecvBusy.store(true);  // as if a worker were decoding
    h.Feed(chunk);
    // One waits in the buffer, four in the queue; the two oldest are gone.
    EXPECT_EQ(h.intake->PendingFrames(), TFrameIntake::PendingMax);
    EXPECT_EQ(h.intake->DroppedFrames(), 2u);
    EXPECT_EQ(h.intake->BufferedBytes(), 71);
    EXPECT_EQ(h.intake->Rates().Received, 0);
    h.core->ComRecvBusy.store(false);
    EXPECT_TRUE(h.intake->DispatchPending());
    h.Wait();
    ASSERT_EQ(h.sysParsShown.size(), 5u);
    for (uint16_t n = 0; n < 5; ++n)
        EXPECT_EQ(h.sysParsShown[n][19], n + 2);
    EXPECT_EQ(h.intake->Rates().Received, 5);
    EXPECT_EQ(h.intake->BufferedBytes(), 0);
    EXPECT_FALSE(h.intake->DispatchPending());  // nothing left
}

TEST(MergedChunks, MLXInsideAFramesWordsDoesNotSplitIt) {
    TUINT16s ram = NumberedRam(0);
    ram[10] = 0x4D4C;  // "ML" ...
    ram[11] = 0x5846;  // "XF": "MLX" at byte 27 of the frame
    ram[500] = 0x004D;
    ram[501] = 0x4C58;  // "MLX" at byte 1008
    const TBytes frm = FrmFrame(ram);
    const TBytes next = FrmFrame(NumberedRam(1));
    TBytes stream = SysFrame(SysBlock(1, 0, 0, 0, 0));
    const size_t at = stream.size();
    stream.insert(stream.end(), frm.begin(), frm.end());
    stream.insert(stream.end(), next.begin(), next.end());

    // Cuts: the whole in one chunk; the type letters of the frame in the next chunk;
    // a cut just before either inner "MLX"; a cut inside the check word.
    for (size_t cut : {size_t(0), at + 5, at + 26, at + 1007, at + 1676}) {
        SCOPED_TRACE(cut);
        auto h = CalibratedHarness();
        if (cut > 0) {
            h->Feed(TBytes(stream.begin(), stream.begin() + cut));
            h->Wait();
        }
        h->Feed(TBytes(stream.begin() + cut, stream.end()));
        h->Wait();
        const auto rams = h->sink->Rams();
        ASSERT_EQ(rams.size(), 2u);
        EXPECT_EQ(rams[0], AsHandedOver(ram));
        EXPECT_EQ(rams[1], AsHandedOver(NumberedRam(1)));
        EXPECT_EQ(h->sysParsShown.size(), 1u);
        EXPECT_EQ(h->intake->Rates().Received, 3);
    }
}

TEST(MergedChunks, TypeReplyStaysOneTextAndRunsTheActionOnce) {
    TLinkHarness h;
    const std::string type = "TYPE=MLX90640\r\n";
    TBytes chunk(type.begin(), type.end());
    const TBytes sys = SysFrame(SysBlock(7, 0, 0, 0, 0));
    chunk.insert(chunk.end(), sys.begin(), sys.end());
    h.Feed(chunk);
    h.Wait();
    EXPECT_EQ(h.readParsActions, 1);
    EXPECT_EQ(h.intake->Rates().Received, 1);  // the frame after the line, not "MLX90640"
    ASSERT_EQ(h.sysParsShown.size(), 1u);
    EXPECT_EQ(h.sysParsShown[0][19], 7);
}

TEST(ChunkSplit, PiecesCoverTheDataAndSkipTheFrameUnderWay) {
    const TBytes frm = FrmFrame(RamWords(1, 0));
    TBytes data = {'a', 'M', 'L', 'X', 'b'};  // an "MLX" among the rest of a frame
    data.insert(data.end(), frm.begin(), frm.end());
    data.insert(data.end(), {'M', 'L'});

    EXPECT_TRUE(SplitAtFrameStarts(data.data(), 0, 0).empty());
    auto p = SplitAtFrameStarts(data.data(), data.size(), 0);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].length, 1u);
    EXPECT_EQ(p[1].offset, 1u);
    EXPECT_EQ(p[1].length, 4u);  // "MLXb": no type, so no fixed part to skip
    EXPECT_EQ(p[2].offset, 5u);
    EXPECT_EQ(p[2].length, frm.size() + 2);

    p = SplitAtFrameStarts(data.data(), data.size(), 4);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].length, 5u);
    EXPECT_EQ(p[1].offset, 5u);

    p = SplitAtFrameStarts(data.data(), data.size(), 100000);  // longer than the data
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].length, data.size());

    // An "MLX" at the very start with a frame under way is that frame's data.
    p = SplitAtFrameStarts(frm.data(), frm.size(), 3);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].length, frm.size());
}
