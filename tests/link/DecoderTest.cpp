// The decoding worker: what it reports (frame, check verdict, block, photo date),
// minimum lengths, the trailing system-parameter block, photos and the double-frame
// option.

#include "link/LinkTestSupport.h"
#include "link/ThreadCOMRecv.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TBytes Cut(TBytes b, size_t len) {
    b.resize(len);
    return b;
}

TUINT16s WithZero(TUINT16s w) {
    w.push_back(0);
    return w;
}

const TUINT16s kEeprom = PatternWords(832, 300);

}  // namespace

TEST(Decoder, SysFrameShowsTheBlockOnTheUiThread) {
    TLinkHarness h;
    const TUINT16s pars = SysBlock(2950, 0x2103, 0x0509, 0x4517, 7);
    h.FeedAndWait(SysFrame(pars));
    EXPECT_TRUE(h.core->SYSIsOK.load());
    EXPECT_EQ(h.lastFrame(), "SYS 71");
    ASSERT_TRUE(h.status().Block);
    EXPECT_EQ(h.status().Block->SavedPhotoNum, 7);
    EXPECT_EQ(h.status().BlockSource, TBlockSource::SysFrame);
    ASSERT_EQ(h.sysParsShown.size(), 1u);
    EXPECT_EQ(h.sysParsShown[0], pars);
    EXPECT_EQ(h.sysParsThreads[0], std::this_thread::get_id());
    EXPECT_FALSE(h.core->ComRecvBusy.load());
    EXPECT_EQ(h.check(), "");  // no check word on "SYS"

    TLinkHarness s;
    s.FeedAltAndWait(Cut(SysFrame(pars), 70));
    EXPECT_FALSE(s.core->SYSIsOK.load());
    EXPECT_TRUE(s.sysParsShown.empty());
    EXPECT_EQ(s.lastFrame(), "");
}

TEST(Decoder, CalibrationVerdicts) {
    TLinkHarness h;
    h.FeedAndWait(EemFrame(kEeprom, true));
    EXPECT_TRUE(h.core->EEIsOK.load());
    EXPECT_EQ(h.lastFrame(), "EEM 1673");
    EXPECT_EQ(h.check(), "correct");  // no mean pixel word for a calibration
    h.FeedAndWait(EemFrame(kEeprom, false));
    EXPECT_EQ(h.check(), "error");
    // Handed over whatever the verdict: 833 words, the last 0.
    ASSERT_EQ(h.sink->Eeproms().size(), 2u);
    EXPECT_EQ(h.sink->Eeproms()[0], WithZero(kEeprom));
    EXPECT_EQ(h.sink->Eeproms()[1], WithZero(kEeprom));
}

TEST(Decoder, CalibrationWhoseCheckWordIsCutOffIsJudgedWrong) {
    for (size_t len : {size_t(1671), size_t(1672)}) {
        TLinkHarness h;
        h.FeedAltAndWait(Cut(EemFrame(kEeprom, true), len));
        EXPECT_TRUE(h.core->EEIsOK.load());
        EXPECT_EQ(h.check(), "error") << len;
        ASSERT_EQ(h.sink->Eeproms().size(), 1u);
        EXPECT_EQ(h.sink->Eeproms()[0], WithZero(kEeprom));
    }
    TLinkHarness h;
    h.FeedAltAndWait(Cut(EemFrame(kEeprom, true), 1670));
    EXPECT_FALSE(h.core->EEIsOK.load());
    EXPECT_TRUE(h.sink->Eeproms().empty());
}

TEST(Decoder, FrameVerdictsAndTheMeanRawPixelWord) {
    // Pixel words 1000 + k: mean 1000 + 767/2 = 1383.5, truncated to 1383.
    TUINT16s ram(834);
    for (int k = 0; k < 834; ++k)
        ram[k] = uint16_t(1000 + k);
    ram[833] = 1;
    TLinkHarness h;
    h.FeedAndWait(EemFrame(kEeprom));
    h.FeedAndWait(FrmFrame(ram, true));
    EXPECT_EQ(h.check(), "correct 1383");
    EXPECT_EQ(h.lastFrame(), "FRM1 1677");
    EXPECT_EQ(h.core->LastFrameIndex.load(), 1);
    h.FeedAndWait(FrmFrame(ram, false));
    EXPECT_EQ(h.check(), "error");
    ASSERT_EQ(h.sink->Rams().size(), 2u);
    EXPECT_EQ(h.sink->Rams()[1], WithZero(ram));
    EXPECT_EQ(h.core->dataCalcRate.load(), 2);
    EXPECT_EQ(h.intake->Rates().Received, 3);
}

TEST(Decoder, FramesNeedCalibrationAndAValidSubpageButPhotosDoNot) {
    TLinkHarness h;
    h.FeedAndWait(FrmFrame(RamWords(1, 0)));
    h.FeedAndWait(HalfFrame("FR0", PatternWords(384, 1), AuxWords(1, 0)));
    EXPECT_TRUE(h.sink->Rams().empty());
    EXPECT_EQ(h.lastFrame(), "");

    h.FeedAndWait(PhtFrame(RamWords(4, 0)));  // a photo before any calibration
    ASSERT_EQ(h.sink->Rams().size(), 1u);
    EXPECT_EQ(h.core->dataCalcRate.load(), 0);
    EXPECT_EQ(h.lastFrame(), "PHT0 1675");

    h.FeedAndWait(EemFrame(kEeprom));
    const uint64_t before = h.status().Sequence;
    h.FeedAndWait(FrmFrame(RamWords(1, 2)));  // subpage byte 2
    h.FeedAndWait(HalfFrame("FR1", PatternWords(384, 1), AuxWords(1, 7)));
    EXPECT_EQ(h.sink->Rams().size(), 1u);
    EXPECT_EQ(h.status().Sequence, before);  // neither frame was reported
}

TEST(Decoder, FailedCheckWordsAreCountedAndTheirFramesDroppedWhenAsked) {
    const TUINT16s ram = RamWords(5, 1);
    TLinkHarness h;
    h.intake->SetDropFailedFrames(true);
    // The first calibration is taken whatever its verdict; a later failing one does
    // not replace it, a later correct one does.
    h.FeedAndWait(EemFrame(kEeprom, false));
    h.FeedAndWait(EemFrame(PatternWords(832, 3), false));
    EXPECT_EQ(h.sink->Eeproms().size(), 1u);
    h.FeedAndWait(EemFrame(kEeprom, true));
    EXPECT_EQ(h.sink->Eeproms().size(), 2u);
    EXPECT_EQ(h.status().FailedChecks, 2u);
    h.FeedAndWait(FrmFrame(ram, true));
    h.FeedAndWait(FrmFrame(RamWords(6, 0), false));
    h.FeedAltAndWait(Cut(FrmFrame(RamWords(7, 1), true), 1676));  // check word cut off
    h.FeedAndWait(FrmFrame(ram, true));
    // Only the two frames whose check word held reached the sink and the rate.
    ASSERT_EQ(h.sink->Rams().size(), 2u);
    EXPECT_EQ(h.sink->Rams()[1], WithZero(ram));
    EXPECT_EQ(h.core->dataCalcRate.load(), 2);
    EXPECT_EQ(h.status().FailedChecks, 4u);
    EXPECT_EQ(h.status().DroppedFailedFrames, 3u);
    EXPECT_NE(h.check(), "error");
}

TEST(Decoder, FrameWhoseCheckWordIsCutOffIsJudgedWrong) {
    const TUINT16s ram = RamWords(11, 0);
    for (size_t len : {size_t(1675), size_t(1676)}) {
        TLinkHarness h;
        h.FeedAndWait(EemFrame(kEeprom));
        h.FeedAltAndWait(Cut(FrmFrame(ram, true), len));
        EXPECT_EQ(h.check(), "error") << len;
        ASSERT_EQ(h.sink->Rams().size(), 1u);
        EXPECT_EQ(h.sink->Rams()[0], WithZero(ram));
    }
    TLinkHarness h;
    h.FeedAndWait(EemFrame(kEeprom));
    h.FeedAltAndWait(Cut(FrmFrame(ram, true), 1674));
    EXPECT_TRUE(h.sink->Rams().empty());
}

TEST(Decoder, BlockTextsNeedTheWholeBlock) {
    const TUINT16s block = SysBlock(3012, 0x2103, 0x0509, 0x4517, 123);
    {
        TLinkHarness h;
        h.FeedAndWait(EemFrame(kEeprom));
        const TBytes full = FrmFrame(RamWords(3, 0), true, &block);
        ASSERT_EQ(full.size(), 1748u);
        h.FeedAndWait(Cut(full, 1747));
        EXPECT_FALSE(h.status().Block);
        h.FeedAndWait(full);
        ASSERT_TRUE(h.status().Block);
        const TSysParsBlock b = *h.status().Block;
        EXPECT_EQ(h.status().BlockSource, TBlockSource::FrameBlock);
        EXPECT_EQ(b.CellMillivolts, 3012);
        EXPECT_EQ(b.YearMonth, 0x2103);
        EXPECT_EQ(b.DayHour, 0x0509);
        EXPECT_EQ(b.MinuteSecond, 0x4517);
        EXPECT_EQ(b.SavedPhotoNum, 123);
        EXPECT_EQ(h.lastFrame(), "FRM0 1748");
    }

    // Half frames carry the block from byte 916; it needs 980 bytes.
    TLinkHarness h;
    h.FeedAndWait(EemFrame(kEeprom));
    const TUINT16s hex = SysBlock(1, 0x99AB, 0xCDEF, 0x0A0B, 65535);
    const TBytes half = HalfFrame("FR0", PatternWords(384, 1), AuxWords(2, 1), &hex);
    ASSERT_EQ(half.size(), 980u);
    h.FeedAndWait(Cut(half, 979));
    EXPECT_FALSE(h.status().Block);
    h.FeedAndWait(half);
    ASSERT_TRUE(h.status().Block);
    EXPECT_EQ(h.status().Block->YearMonth, 0x99AB);
    EXPECT_EQ(h.status().Block->MinuteSecond, 0x0A0B);
    EXPECT_EQ(h.status().Block->SavedPhotoNum, 65535);
}

TEST(Decoder, DoubleFrameOptionSkipsARepeatedSubpage) {
    TLinkHarness h;
    h.FeedAndWait(EemFrame(kEeprom));
    h.intake->SetDouFrameUpdate(true);
    h.FeedAndWait(FrmFrame(RamWords(1, 0)));  // LastFrameIndex starts at 0: skipped
    EXPECT_EQ(h.lastFrame(), "FRM0 1677");
    EXPECT_TRUE(h.sink->Rams().empty());
    h.FeedAndWait(FrmFrame(RamWords(2, 1)));
    h.FeedAndWait(HalfFrame("FR1", PatternWords(384, 1), AuxWords(3, 1)));
    h.FeedAndWait(HalfFrame("FR1", PatternWords(384, 1), AuxWords(3, 0)));
    EXPECT_EQ(h.sink->Rams().size(), 2u);
    EXPECT_EQ(h.core->LastFrameIndex.load(), 0);
    EXPECT_EQ(h.core->dataCalcRate.load(), 2);

    h.intake->SetDouFrameUpdate(false);
    h.FeedAndWait(FrmFrame(RamWords(1, 0)));
    EXPECT_EQ(h.sink->Rams().size(), 3u);
}

TEST(Decoder, PhotoTextsAndMinimumLength) {
    TLinkHarness h;
    const uint8_t when[6] = {0x19, 0x12, 0x31, 0x23, 0x59, 0x58};
    TUINT16s ram = RamWords(6, 0);
    ram[833] = 0x0107;  // the low byte of word 833 is shown
    h.FeedAndWait(PhtFrame(ram, when));
    EXPECT_EQ(h.lastFrame(), "PHT7 1681");
    ASSERT_TRUE(h.status().PhotoStamp);
    EXPECT_EQ(*h.status().PhotoStamp, (TPhotoStamp{0x19, 0x12, 0x31, 0x23, 0x59, 0x58}));
    ASSERT_EQ(h.sink->Rams().size(), 1u);
    EXPECT_EQ(h.sink->Rams()[0], WithZero(ram));
    EXPECT_FALSE(h.core->ComRecvBusy.load());

    // Without the date bytes the date texts stay; shorter than a frame memory it is dropped.
    TLinkHarness s;
    s.FeedAltAndWait(Cut(PhtFrame(ram, when), 1680));
    EXPECT_EQ(s.sink->Rams().size(), 1u);
    EXPECT_FALSE(s.status().PhotoStamp);
    s.FeedAltAndWait(Cut(PhtFrame(ram), 1674));
    EXPECT_EQ(s.sink->Rams().size(), 1u);
    EXPECT_EQ(s.lastFrame(), "PHT7 1680");
}

TEST(Decoder, WorkerRunInlineReleasesTheBusyFlag) {
    auto core = std::make_shared<TLinkCore>(TLinkHooks{});
    for (const TBytes &bytes :
         {TBytes{'n', 'o', 'p', 'e', 0, 0, 0, 0}, SysFrame(SysBlock(1, 2, 3, 4, 5)), FrameHead("ZZZ")}) {
        core->ComRecvBusy.store(true);
        TThreadCOMRecv worker(core, bytes.data(), int32_t(bytes.size()));
        worker.Execute();
        EXPECT_FALSE(core->ComRecvBusy.load());
    }
    EXPECT_TRUE(core->SYSIsOK.load());  // no UpdateSysParsShow hook: nothing to show
}

TEST(Decoder, WorkersRunOnTheThreadsTheHookGivesAndARefusalDropsTheFrame) {
    auto sink = std::make_shared<TRecordingSink>();
    std::vector<std::thread> threads;
    bool refuse = false;
    TLinkHooks hooks;
    hooks.Sink = sink;
    hooks.StartThread = [&](std::function<void()> body) {
        if (refuse)
            return false;
        threads.emplace_back(std::move(body));
        return true;
    };
    auto core = std::make_shared<TLinkCore>(hooks);
    const TBytes eem = EemFrame(kEeprom);

    core->ComRecvBusy.store(true);
    core->WorkerStarting();
    EXPECT_TRUE(
        TThreadCOMRecv::Start(std::make_unique<TThreadCOMRecv>(core, eem.data(), int32_t(eem.size()))));
    ASSERT_EQ(threads.size(), 1u);
    threads[0].join();
    EXPECT_EQ(sink->Eeproms().size(), 1u);
    EXPECT_TRUE(core->IsIdle());
    EXPECT_FALSE(core->ComRecvBusy.load());

    refuse = true;
    core->ComRecvBusy.store(true);
    core->WorkerStarting();
    EXPECT_FALSE(
        TThreadCOMRecv::Start(std::make_unique<TThreadCOMRecv>(core, eem.data(), int32_t(eem.size()))));
    EXPECT_EQ(sink->Eeproms().size(), 1u);  // the refused frame is not decoded
    EXPECT_TRUE(core->IsIdle());            // nor counted as running
    EXPECT_FALSE(core->ComRecvBusy.load());
}
