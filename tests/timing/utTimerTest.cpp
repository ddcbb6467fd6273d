#include "timing/utTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Handles events until `done` or the time is up; returns done().
bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout.count())
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

// Records when each tick arrives (ms since the recorder was made).
struct TTickLog {
    TTickLog() { clock.start(); }
    void Attach(TZorvikTimer &timer, std::chrono::milliseconds work = 0ms) {
        timer.SetOnTimerDo([this, &timer, work](TZorvikTimer *sender) {
            EXPECT_EQ(sender, &timer);
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            times.push_back(clock.elapsed());
            if (work > 0ms)
                std::this_thread::sleep_for(work);
        });
    }
    QElapsedTimer clock;
    std::vector<qint64> times;
};

}  // namespace

TEST(TZorvikTimerTest, CreatedDisabledWithOneSecondInterval) {
    TZorvikTimer timer;
    EXPECT_EQ(timer.GetTimeInterval(), 1000);
    EXPECT_FALSE(timer.GetEnable());
    EXPECT_FALSE(bool(timer.GetOnTimerDo()));

    TTickLog log;
    log.Attach(timer);
    timer.SetTimeInterval(5);
    timer.SetEnable(false);  // no change: still nothing
    PumpFor(300ms);
    EXPECT_TRUE(log.times.empty());
}

TEST(TZorvikTimerTest, TickSpacingIsIntervalPlusHandlerTime) {
    TZorvikTimer timer;
    TTickLog log;
    log.Attach(timer, 30ms);
    timer.SetTimeInterval(10);
    timer.SetEnable(true);
    ASSERT_TRUE(PumpUntil([&] { return log.times.size() >= 9; }, 20s));
    timer.SetEnable(false);
    const double mean = double(log.times.back() - log.times.front()) / double(log.times.size() - 1);
    // About 40 ms; never less, since the next wait starts after the handler returns.
    EXPECT_GE(mean, 39.0);
    EXPECT_LT(mean, 400.0);
    for (size_t i = 1; i < log.times.size(); ++i)
        EXPECT_GE(log.times[i] - log.times[i - 1], 39) << "tick " << i;
}

TEST(TZorvikTimerTest, EnableAndDisableRules) {
    TZorvikTimer timer;
    TTickLog log;
    log.Attach(timer);
    timer.SetTimeInterval(10);

    // Enabling twice is one start; one disable stops it for good.
    timer.SetEnable(true);
    timer.SetEnable(true);
    EXPECT_TRUE(timer.GetEnable());
    ASSERT_TRUE(PumpUntil([&] { return log.times.size() >= 3; }, 10s));
    timer.SetEnable(false);
    EXPECT_FALSE(timer.GetEnable());
    log.times.clear();
    PumpFor(300ms);
    EXPECT_TRUE(log.times.empty());

    // A quick on-off-on ends ticking, whenever the thread happens to look.
    for (int round = 0; round < 20; ++round) {
        log.times.clear();
        timer.SetEnable(true);
        timer.SetEnable(false);
        timer.SetEnable(true);
        ASSERT_TRUE(PumpUntil([&] { return log.times.size() >= 2; }, 10s)) << "round " << round;
        timer.SetEnable(false);
        PumpFor(20ms);
    }
    // A quick off-on-off ends silent.
    timer.SetEnable(true);
    ASSERT_TRUE(PumpUntil([&] { return !log.times.empty(); }, 10s));
    timer.SetEnable(false);
    timer.SetEnable(true);
    timer.SetEnable(false);
    log.times.clear();
    PumpFor(300ms);
    EXPECT_TRUE(log.times.empty());
}

TEST(TZorvikTimerTest, NoHandlerCallAfterDisableEvenForATickOnItsWay) {
    TZorvikTimer timer;
    TTickLog log;
    log.Attach(timer);
    timer.SetTimeInterval(1);
    timer.SetEnable(true);
    std::this_thread::sleep_for(100ms);  // a tick is posted and waits for the event loop
    timer.SetEnable(false);
    PumpFor(200ms);
    EXPECT_TRUE(log.times.empty());
}

TEST(TZorvikTimerTest, IntervalChangeAppliesFromTheNextWait) {
    TZorvikTimer timer;
    TTickLog log;
    log.Attach(timer);
    timer.SetTimeInterval(1500);
    timer.SetEnable(true);
    PumpFor(150ms);
    timer.SetTimeInterval(20);
    ASSERT_TRUE(PumpUntil([&] { return log.times.size() >= 4; }, 20s));
    timer.SetEnable(false);
    // The wait in progress kept its 1500 ms; the following ones are short.
    EXPECT_GE(log.times[0], 1450);
    EXPECT_LT(log.times[3] - log.times[0], 1400);
}

TEST(TZorvikTimerTest, TicksNeverOverlapWhenAHandlerHandlesEvents) {
    TZorvikTimer timer;
    int depth = 0, deepest = 0, ticks = 0;
    timer.SetOnTimerDo([&](TZorvikTimer *) {
        deepest = std::max(deepest, ++depth);
        ++ticks;
        PumpFor(50ms);  // the event loop runs inside the handler
        --depth;
    });
    timer.SetTimeInterval(1);
    timer.SetEnable(true);
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 5; }, 20s));
    timer.SetEnable(false);
    EXPECT_EQ(deepest, 1);
}

TEST(TZorvikTimerTest, DestructionIsPromptInEveryState) {
    QElapsedTimer clock;

    // Never started.
    auto idle = std::make_unique<TZorvikTimer>();
    clock.start();
    idle.reset();
    EXPECT_LT(clock.elapsed(), 1000);

    // Ticking, with a tick posted that the event loop has not run yet: the thread
    // waits for it, the destructor must not wait for the thread's wait.
    auto busy = std::make_unique<TZorvikTimer>();
    int ticks = 0;
    busy->SetOnTimerDo([&](TZorvikTimer *) { ++ticks; });
    busy->SetTimeInterval(1);
    busy->SetEnable(true);
    std::this_thread::sleep_for(100ms);
    clock.start();
    busy.reset();
    EXPECT_LT(clock.elapsed(), 1000);
    PumpFor(100ms);  // the posted tick died with its timer
    EXPECT_EQ(ticks, 0);
}
