// Running procedures on the UI thread of a std queue.

#include "link/StdUiDispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

TEST(StdUiDispatcher, RunsCallsOfOtherThreadsOnTheUiThreadAndWaits) {
    TStdUiDispatcher d;
    std::thread::id ranOn;
    bool ran = false;
    EXPECT_TRUE(d.RunOnUiAndWait([&] { ran = true; }));  // on the UI thread: at once
    EXPECT_TRUE(ran);

    std::atomic<bool> result{false}, returned{false};
    std::thread caller([&] {
        result = d.RunOnUiAndWait([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    std::this_thread::sleep_for(10ms);
    std::thread([&] { d.ProcessPending(); }).join();  // not the UI thread: runs nothing
    EXPECT_FALSE(returned.load());
    int runs = 0;
    while (runs == 0)
        runs = d.WaitAndProcess(1000ms);
    caller.join();
    EXPECT_TRUE(returned.load());
    EXPECT_TRUE(result.load());
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(StdUiDispatcher, CloseReleasesWaitingCallersWithoutRunningThem) {
    TStdUiDispatcher d;
    std::atomic<int> ran{0};
    std::atomic<int> refused{0};
    std::thread caller([&] {
        if (!d.RunOnUiAndWait([&] { ran.fetch_add(1); }))
            refused.fetch_add(1);
    });
    std::this_thread::sleep_for(20ms);
    d.Close();
    caller.join();
    EXPECT_EQ(ran.load(), 0);
    EXPECT_EQ(refused.load(), 1);
    EXPECT_FALSE(d.RunOnUiAndWait([&] { ran.fetch_add(1); }));
    EXPECT_EQ(ran.load(), 0);
}
