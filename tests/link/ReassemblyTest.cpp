// Receive handlers: byte counting, the reassembly buffer and its limits, waiting for
// whole frames, the busy decoder, "TYPE" and the alternative path.

#include "link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

TBytes Slice(const TBytes &b, size_t from, size_t count) {
    return TBytes(b.begin() + from, b.begin() + from + count);
}

TBytes Garbage(size_t n, uint8_t fill = 0x11) {
    return TBytes(n, fill);
}

struct Calibrated : ::testing::Test {
    TLinkHarness h;
    void SetUp() override {
        h.FeedAndWait(EemFrame(PatternWords(832, 100)));
        h.intake->TakeRates();  // as the once-a-second rate timer does
    }
};

}  // namespace

TEST(ReceiveHandler, ChunksOfFiveBytesAreOnlyCountedSixAreExamined) {
    TLinkHarness h;
    const TBytes five = {'M', 'L', 'X', 0, 'F'};
    h.Feed(five);
    EXPECT_EQ(h.intake->ReceiveCounters().RXByteCount, 5);
    EXPECT_FALSE(h.intake->HasReceiveNews());
    EXPECT_EQ(h.intake->ReceiveCounters().ShownTotal, 0);
    EXPECT_EQ(h.intake->BufferedBytes(), 0);

    const TBytes six = {'M', 'L', 'X', 0, 'F', 'R'};
    h.Feed(six);
    EXPECT_EQ(h.intake->ReceiveCounters().RXByteCount, 11);
    EXPECT_TRUE(h.intake->HasReceiveNews());
    EXPECT_EQ(h.intake->ReceiveCounters().ShownTotal, 11);
    EXPECT_EQ(h.intake->BufferedBytes(), 6);  // waits: the type is not complete
    EXPECT_EQ(h.intake->Rates().Received, 0);
}

TEST_F(Calibrated, FrameSplitOverChunksIsPassedOnOnceWholeWithItsCheckWord) {
    const TBytes frm = FrmFrame(RamWords(5, 1));
    h.Feed(Slice(frm, 0, 1000));
    EXPECT_EQ(h.intake->BufferedBytes(), 1000);
    h.Feed(Slice(frm, 1000, 675));  // 1675 bytes: words complete, check word missing
    EXPECT_EQ(h.intake->BufferedBytes(), 1675);
    EXPECT_EQ(h.intake->Rates().Received, 0);
    TBytes tail = Slice(frm, 1675, 2);  // the check word arrives with the next bytes
    tail.resize(6, 0x00);               // of the line
    h.Feed(tail);
    // Complete, but a trailing parameter block may follow: it waits (Wait lets it go,
    // as a quiet line would).
    EXPECT_EQ(h.intake->BufferedBytes(), 1681);
    EXPECT_EQ(h.intake->Rates().Received, 0);
    h.Wait();
    EXPECT_EQ(h.intake->BufferedBytes(), 0);
    EXPECT_EQ(h.intake->Rates().Received, 1);
    ASSERT_EQ(h.sink->Rams().size(), 1u);
    TUINT16s expected = RamWords(5, 1);
    expected.push_back(0);
    EXPECT_EQ(h.sink->Rams()[0], expected);
    EXPECT_EQ(h.check().rfind("correct", 0), 0u);
    EXPECT_EQ(h.lastFrame(), "FRM1 1681");
}

TEST_F(Calibrated, HalfFrameWaitsFor907Bytes) {
    const TBytes half = HalfFrame("FR1", PatternWords(384, 1), AuxWords(2, 1));
    h.Feed(Slice(half, 0, 906));
    EXPECT_EQ(h.intake->Rates().Received, 0);
    TBytes rest = Slice(half, 906, 1);
    rest.resize(6, 0x55);  // the subpage byte and what follows on the line
    h.Feed(rest);
    EXPECT_EQ(h.intake->Rates().Received, 0);  // its block may follow
    h.Wait();
    EXPECT_EQ(h.intake->Rates().Received, 1);
    ASSERT_EQ(h.sink->Rams().size(), 1u);
    EXPECT_EQ(h.lastFrame(), "FR1 1 912");
    EXPECT_EQ(h.sink->Rams()[0][833], 1);
}

TEST_F(Calibrated, TrailingBlockInTheNextChunkStaysWithItsFrame) {
    // The frame's words and check word in one chunk, its parameter block in the next:
    // the live-view tick between them must not send the frame on without its block.
    const TUINT16s block = SysBlock(3012, 0x2103, 0x0509, 0x4517, 3);
    const TBytes frm = FrmFrame(RamWords(6, 0), true, &block);
    h.Feed(Slice(frm, 0, 1677));
    EXPECT_FALSE(h.intake->DispatchPending());  // a tick: the block may follow
    h.Feed(Slice(frm, 1677, frm.size() - 1677));
    EXPECT_EQ(h.intake->Rates().Received, 1);  // whole: on at once
    h.Wait();
    ASSERT_TRUE(h.status().Block);
    EXPECT_EQ(h.status().Block->SavedPhotoNum, 3);
    EXPECT_EQ(h.lastFrame(), "FRM0 1748");

    // A module that sends no block: the frame goes once the line has been quiet.
    h.intake->SetBlockWaitMs(5);
    h.Feed(FrmFrame(RamWords(7, 1)));
    EXPECT_FALSE(h.intake->DispatchPending());
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(h.intake->DispatchPending());
    h.Wait();
    EXPECT_EQ(h.lastFrame(), "FRM1 1677");
    EXPECT_EQ(h.sink->Rams().size(), 2u);
}

TEST_F(Calibrated, FramesCutShortAreDecodedWhenTheNextFrameStarts) {
    // Words complete, check word cut off: decodable, judged wrong, not dropped.
    for (size_t len : {size_t(1675), size_t(1676)}) {
        h.Feed(Slice(FrmFrame(RamWords(8, 1)), 0, len));
        h.Feed(FrameHead("ZZZ"));  // the next frame starts
        h.Wait();
        EXPECT_EQ(h.lastFrame(), "FRM1 " + std::to_string(len));
        EXPECT_EQ(h.check(), "error");
    }
    EXPECT_EQ(h.sink->Rams().size(), 2u);
    for (size_t len : {size_t(1671), size_t(1672)}) {
        h.Feed(Slice(EemFrame(PatternWords(832, 9)), 0, len));
        h.Feed(FrameHead("ZZZ"));
        h.Wait();
        EXPECT_EQ(h.lastFrame(), "EEM " + std::to_string(len));
        EXPECT_EQ(h.check(), "error");
    }
    EXPECT_EQ(h.sink->Eeproms().size(), 3u);  // with the one of the fixture
}

TEST_F(Calibrated, LastBytesOfAFrameInATinyChunkAreKept) {
    const TUINT16s block = SysBlock(3012, 0x2103, 0x0509, 0x4517, 4);
    const TBytes frm = FrmFrame(RamWords(9, 0), true, &block);
    h.Feed(Slice(frm, 0, frm.size() - 3));
    h.Feed(Slice(frm, frm.size() - 3, 3));  // three bytes: only counted on their own
    EXPECT_EQ(h.intake->Rates().Received, 1);
    h.Wait();
    ASSERT_TRUE(h.status().Block);
    EXPECT_EQ(h.status().Block->SavedPhotoNum, 4);
    // With no frame under way, a tiny chunk is still only counted.
    h.Feed(TBytes{'M', 'L', 'X'});
    EXPECT_EQ(h.intake->BufferedBytes(), 0);
}

TEST(ReceiveHandler, SysEemAndPhotoFramesSplitOverChunksAreNotLost) {
    TLinkHarness h;
    const TUINT16s pars = SysBlock(3000, 0x2103, 0x0509, 0x4517, 12);
    const TBytes sys = SysFrame(pars);
    h.Feed(Slice(sys, 0, 6));  // even the type arrives in pieces
    h.Feed(Slice(sys, 6, 40));
    EXPECT_EQ(h.intake->Rates().Received, 0);
    h.Feed(Slice(sys, 46, 25));
    h.Wait();
    ASSERT_EQ(h.sysParsShown.size(), 1u);
    EXPECT_EQ(h.sysParsShown[0], pars);

    const TBytes eem = EemFrame(PatternWords(832, 9));
    h.Feed(Slice(eem, 0, 1000));
    EXPECT_EQ(h.intake->Rates().Received, 1);
    h.Feed(Slice(eem, 1000, 673));
    h.Wait();
    ASSERT_EQ(h.sink->Eeproms().size(), 1u);
    EXPECT_EQ(h.check().rfind("correct", 0), 0u);

    const uint8_t when[6] = {0x21, 0x03, 0x05, 0x09, 0x45, 0x17};
    const TBytes pht = PhtFrame(RamWords(3, 0), when);
    h.Feed(Slice(pht, 0, 1674));
    EXPECT_EQ(h.intake->Rates().Received, 2);
    h.Feed(Slice(pht, 1674, 7));
    EXPECT_EQ(h.intake->Rates().Received, 3);
    h.Wait();
    ASSERT_EQ(h.sink->Rams().size(), 1u);
    EXPECT_EQ(h.lastFrame(), "PHT0 1681");
    ASSERT_TRUE(h.status().PhotoStamp);
    EXPECT_EQ(h.status().PhotoStamp->Year, 0x21);
    EXPECT_EQ(h.status().PhotoStamp->Day, 0x05);
}

TEST(ReceiveHandler, BusyDecoderLeavesTheFrameWaitingUntilTheNextChunk) {
    TLinkHarness h;
    const TBytes eem = EemFrame(PatternWords(832, 9));
    h.core->ComRecvBusy.store(true);  // as if a worker were decoding
    h.Feed(Slice(eem, 0, 1000));
    h.Feed(Slice(eem, 1000, 673));
    EXPECT_EQ(h.intake->BufferedBytes(), 1673);
    EXPECT_EQ(h.intake->Rates().Received, 0);
    h.core->ComRecvBusy.store(false);
    h.Feed(Garbage(10));  // appended, and the whole goes to the worker
    EXPECT_EQ(h.intake->BufferedBytes(), 0);
    h.Wait();
    EXPECT_EQ(h.lastFrame(), "EEM 1683");
    ASSERT_EQ(h.sink->Eeproms().size(), 1u);

    // A chunk that begins with "MLX" does not throw the waiting frame away: it is
    // queued and decoded first, once the decoder is idle.
    h.core->ComRecvBusy.store(true);
    const TUINT16s pars = SysBlock(1, 2, 3, 4, 5);
    h.Feed(SysFrame(pars));
    h.Feed(EemFrame(PatternWords(832, 50)));
    EXPECT_EQ(h.intake->BufferedBytes(), 1673);
    EXPECT_EQ(h.intake->PendingFrames(), 1u);
    h.core->ComRecvBusy.store(false);
    h.Feed(Garbage(6));
    h.Wait();
    ASSERT_EQ(h.sysParsShown.size(), 1u);
    EXPECT_EQ(h.sysParsShown[0], pars);
    ASSERT_EQ(h.sink->Eeproms().size(), 2u);
    EXPECT_EQ(h.sink->Eeproms()[1][0], 50);
    EXPECT_EQ(h.lastFrame(), "EEM 1679");
    EXPECT_EQ(h.intake->PendingFrames(), 0u);
}

TEST_F(Calibrated, ChunkBeginningWithMLXDiscardsAnUnfinishedFrame) {
    const TBytes frm = FrmFrame(RamWords(5, 0));
    h.Feed(Slice(frm, 0, 1500));
    EXPECT_EQ(h.intake->BufferedBytes(), 1500);
    h.Feed(SysFrame(SysBlock(1, 2, 3, 4, 5)));
    EXPECT_EQ(h.intake->BufferedBytes(), 0);
    h.Feed(Slice(frm, 1500, 177));  // the rest lies in a buffer without "MLX"
    h.Wait();
    EXPECT_EQ(h.sysParsShown.size(), 1u);
    EXPECT_TRUE(h.sink->Rams().empty());
    EXPECT_EQ(h.intake->BufferedBytes(), 177);
}

TEST(ReceiveHandler, BufferLimits) {
    TLinkHarness h;
    // Above 2048 bytes buffered, the next chunk is stored from position 0.
    h.Feed(Garbage(2049, 0x22));
    h.Feed(Garbage(10, 0x33));
    EXPECT_EQ(h.intake->BufferedBytes(), 10);
    EXPECT_EQ(h.intake->BufferedData()[0], 0x33);

    // 2048 + 2048 fill the buffer exactly; 2048 + 2049 starts again.
    TLinkHarness a;
    a.Feed(Garbage(2048, 0x22));
    a.Feed(Garbage(2048, 0x33));
    EXPECT_EQ(a.intake->BufferedBytes(), 4096);
    EXPECT_EQ(a.intake->BufferedData()[2047], 0x22);
    EXPECT_EQ(a.intake->BufferedData()[2048], 0x33);

    TLinkHarness b;
    b.Feed(Garbage(2048, 0x22));
    b.Feed(Garbage(2049, 0x33));
    EXPECT_EQ(b.intake->BufferedBytes(), 2049);
    EXPECT_EQ(b.intake->BufferedData()[0], 0x33);
}

TEST_F(Calibrated, ChunkLongerThanTheBufferKeepsWhatFits) {
    TBytes big = FrmFrame(RamWords(8, 0));
    big.resize(6000, 0x44);  // a line burst longer than the 4096-byte buffer
    h.core->ComRecvBusy.store(true);
    h.Feed(big);
    EXPECT_EQ(h.intake->BufferedBytes(), 4096);
    EXPECT_EQ(h.intake->ReceiveCounters().RXByteCount, 1673 + 6000);
    h.core->ComRecvBusy.store(false);
    // Limits: 4096 > 2048, so the chunk is stored from 0; the complete frame it
    // replaces is queued and decoded, not dropped.
    h.Feed(Garbage(10));
    EXPECT_EQ(h.intake->BufferedBytes(), 10);
    h.Wait();
    ASSERT_EQ(h.sink->Rams().size(), 1u);
    EXPECT_EQ(h.lastFrame(), "FRM0 4096");

    h.Feed(big);
    h.Wait();
    ASSERT_EQ(h.sink->Rams().size(), 2u);
    EXPECT_EQ(h.lastFrame(), "FRM0 4096");
}

TEST(ReceiveHandler, UnknownTypesArePassedOnAtOnceAndIgnored) {
    TLinkHarness h;
    TBytes odd = FrameHead("XYZ");
    odd.resize(20, 1);
    h.FeedAndWait(odd);
    EXPECT_EQ(h.intake->Rates().Received, 1);
    EXPECT_EQ(h.intake->BufferedBytes(), 0);
    EXPECT_EQ(h.lastFrame(), "");
    EXPECT_FALSE(h.core->ComRecvBusy.load());
}

TEST(ReceiveHandler, TypeTextRunsTheReadParametersAction) {
    TLinkHarness h;
    const std::string type = "TYPE=MLX90640\r\n";
    h.Feed(reinterpret_cast<const uint8_t *>(type.data()), type.size());
    EXPECT_EQ(h.readParsActions, 1);

    h.Feed(reinterpret_cast<const uint8_t *>("TYPE"), 4);  // too short to be examined
    EXPECT_EQ(h.readParsActions, 1);

    // Appended to a buffer that begins with "MLX", the chunk is part of that frame.
    const TBytes frm = FrmFrame(RamWords(1, 0));
    h.Feed(Slice(frm, 0, 100));
    h.Feed(reinterpret_cast<const uint8_t *>(type.data()), type.size());
    EXPECT_EQ(h.readParsActions, 1);

    h.FeedAlt(TBytes(type.begin(), type.end()));
    EXPECT_EQ(h.readParsActions, 2);
}

TEST(ReceiveHandler, AlternativePathKeepsNoBufferAndDropsFramesWhileBusy) {
    TLinkHarness h;
    h.FeedAltAndWait(EemFrame(PatternWords(832, 1)));
    ASSERT_EQ(h.sink->Eeproms().size(), 1u);
    EXPECT_EQ(h.intake->ReceiveCounters().ShownTotal, 1673);
    EXPECT_EQ(h.intake->ReceiveCounters().LastPath, TReceivePath::Alternative);

    // Each chunk by itself: the first half of a frame is decoded alone (too short),
    // the second half does not begin with "MLX".
    const TBytes frm = FrmFrame(RamWords(2, 0));
    h.FeedAltAndWait(Slice(frm, 0, 1000));
    h.FeedAltAndWait(Slice(frm, 1000, 677));
    EXPECT_TRUE(h.sink->Rams().empty());
    EXPECT_EQ(h.intake->Rates().Received, 2);
    EXPECT_EQ(h.intake->BufferedBytes(), 0);

    h.core->ComRecvBusy.store(true);
    h.FeedAlt(frm);
    EXPECT_EQ(h.intake->Rates().Received, 3);  // counted even though dropped
    h.core->ComRecvBusy.store(false);
    h.Wait();
    EXPECT_TRUE(h.sink->Rams().empty());

    h.FeedAltAndWait(frm);
    EXPECT_EQ(h.sink->Rams().size(), 1u);
}

TEST(ReceiveCounters, ShownTotalFollowsExaminedChunksOnly) {
    TLinkHarness h;
    h.Feed(Garbage(1023));
    EXPECT_EQ(h.intake->ReceiveCounters().ShownTotal, 1023);
    h.Feed(Garbage(1));  // not examined: the shown total keeps its value
    EXPECT_EQ(h.intake->ReceiveCounters().RXByteTotal, 1024);
    EXPECT_EQ(h.intake->ReceiveCounters().ShownTotal, 1023);
    h.Feed(Garbage(6));
    EXPECT_EQ(h.intake->ReceiveCounters().ShownTotal, 1030);
    EXPECT_EQ(h.intake->ReceiveCounters().LastPath, TReceivePath::Main);
    EXPECT_TRUE(h.intake->TakeReceiveNews());
    EXPECT_FALSE(h.intake->TakeReceiveNews());
}
