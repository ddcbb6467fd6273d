// Concurrency of the intake (run under ThreadSanitizer too): one decoder at a time,
// hand-offs that never overlap and see unchanged words, frames in order, and a UI
// thread that never waits for a worker that waits for it.

#include "link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

namespace {

bool WaitUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(200us);
    }
    return true;
}

}  // namespace

TEST(HandOff, BusyFlagBelongsToTheDecoderThatRaisedIt) {
    TLinkHarness h;
    h.FeedAndWait(EemFrame(PatternWords(832, 1)));
    h.sink->LimitPermits(0);

    // Frames with their trailing block: each is whole, and goes on with its last chunk.
    const TUINT16s block = SysBlock(3000, 0x2103, 0x0509, 0x4517, 2);
    h.Feed(FrmFrame(RamWords(1, 0), true, &block));  // worker 1 stops inside SetRAMArr
    ASSERT_TRUE(h.sink->WaitEntered(2));
    EXPECT_FALSE(h.core->ComRecvBusy.load());  // lowered before the hand-off
    h.Feed(EemFrame(PatternWords(832, 2)));    // worker 2 decodes, then waits its turn
    EXPECT_TRUE(h.core->ComRecvBusy.load());   // raised before the worker started
    EXPECT_EQ(h.intake->RunningWorkers(), 2);
    h.Feed(FrmFrame(RamWords(3, 1), true, &block));  // finds the decoder busy: waits
    EXPECT_EQ(h.intake->Rates().Received, 3);

    h.sink->AddPermits(1);                // worker 1 finishes
    ASSERT_TRUE(h.sink->WaitEntered(3));  // worker 2 is inside SetEEPROMArr
    ASSERT_TRUE(WaitUntil([&] { return h.intake->RunningWorkers() == 1; }));
    // The end of worker 1 must not have lowered worker 2's flag.
    EXPECT_TRUE(h.core->ComRecvBusy.load());
    h.Feed(TBytes(8, 0x20));
    EXPECT_EQ(h.intake->Rates().Received, 3);
    EXPECT_EQ(h.intake->BufferedBytes(), 1748 + 8);

    h.sink->OpenGate();
    ASSERT_TRUE(WaitUntil([&] { return !h.core->ComRecvBusy.load(); }));
    h.Feed(TBytes(8, 0x20));
    h.Wait();
    ASSERT_EQ(h.sink->Rams().size(), 2u);
    EXPECT_EQ(h.sink->Rams()[1][833], 1);
    EXPECT_EQ(h.sink->Eeproms().size(), 2u);
    EXPECT_EQ(h.sink->Overlaps(), 0);
}

TEST(HandOff, SlowHandOffsNeverOverlapSeeStableWordsAndKeepTheirOrder) {
    TLinkHarness h;
    h.FeedAndWait(EemFrame(PatternWords(832, 1)));
    h.sink->RamCallMicros.store(1500);
    for (int n = 0; n < 60; ++n) {
        const int subpage = n % 2;
        TUINT16s aux = AuxWords(0, subpage);
        aux[0] = uint16_t(n);  // frame-memory word 768 numbers the frame
        if (n % 3 == 0) {
            TUINT16s ram = RamWords(uint16_t(n), subpage);
            ram[768] = uint16_t(n);
            h.Feed(FrmFrame(ram));
        } else {
            h.Feed(HalfFrame(subpage ? "FR1" : "FR0", PatternWords(384, uint16_t(n)), aux));
        }
        h.dispatcher->ProcessPending();
        std::this_thread::sleep_for(1ms);
    }
    h.Wait();
    const auto rams = h.sink->Rams();
    ASSERT_GE(rams.size(), 10u);
    EXPECT_EQ(h.sink->Overlaps(), 0);
    EXPECT_EQ(h.sink->ChangedDuringCall(), 0);
    for (size_t k = 1; k < rams.size(); ++k)
        EXPECT_LT(rams[k - 1][768], rams[k][768]) << k;
    EXPECT_EQ(int(rams.size()), h.core->dataCalcRate.load());
}

TEST(HandOff, WaitIdleRunsTheWorkersUiCalls) {
    TLinkHarness h;
    for (int n = 0; n < 20; ++n)
        h.FeedAndWait(SysFrame(SysBlock(uint16_t(n), 0, 0, 0, 0)));
    ASSERT_EQ(h.sysParsShown.size(), 20u);
    EXPECT_EQ(h.sysParsShown[19][19], 19);
    for (auto id : h.sysParsThreads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(HandOff, WaitingInsideAWorkersUiCallDoesNotWaitForThatWorker) {
    // The "SYS" handler sends a value back; while it pauses, the line is lost and the
    // window waits for the link: that wait must not wait for the worker whose call
    // is the very frame that waits.
    TLinkHarness h;
    bool returned = false;
    TLinkHooks hooks;
    hooks.Dispatcher = h.dispatcher;
    TFrameIntake *intake = nullptr;
    hooks.UpdateSysParsShow = [&](const TUINT16s &) {
        intake->WaitIdle();
        returned = true;
    };
    TFrameIntake own(hooks);
    intake = &own;
    const TBytes sys = SysFrame(SysBlock(1, 2, 3, 4, 5));
    own.Comm1ReceiveData(sys.data(), uint16_t(sys.size()));
    ASSERT_TRUE(WaitUntil([&] {
        h.dispatcher->ProcessPending();
        return returned;
    }));
    own.WaitIdle();
    EXPECT_TRUE(own.IsIdle());
}

TEST(HandOff, DestroyingTheIntakeReleasesAWorkerWaitingForTheUi) {
    auto dispatcher = std::make_shared<TStdUiDispatcher>();
    std::atomic<int> shown{0};
    TLinkHooks hooks;
    hooks.Dispatcher = dispatcher;
    hooks.UpdateSysParsShow = [&](const TUINT16s &) { shown.fetch_add(1); };
    auto intake = std::make_unique<TFrameIntake>(hooks);
    const TBytes sys = SysFrame(SysBlock(1, 2, 3, 4, 5));
    intake->Comm1ReceiveData(sys.data(), uint16_t(sys.size()));
    ASSERT_TRUE(WaitUntil([&] { return intake->ParametersReceived(); }));
    std::this_thread::sleep_for(20ms);  // the worker now waits for the UI thread
    intake.reset();                     // never pumped: must not hang
    EXPECT_EQ(shown.load(), 0);
    EXPECT_FALSE(dispatcher->RunOnUiAndWait([&] { shown.fetch_add(1); }));  // closed
    EXPECT_EQ(shown.load(), 0);
}
