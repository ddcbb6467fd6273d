// Running procedures on the UI thread through the Qt event loop.

#include "ui/device/QtUiDispatcher.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {
QCoreApplication &App() {
    static int argc = 1;
    static char name[] = "link_tests";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}
}  // namespace

TEST(QtUiDispatcher, RunsTheCallInTheEventLoopWhileTheCallerWaits) {
    App();
    TQtUiDispatcher d;
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        EXPECT_TRUE(d.RunOnUiAndWait([&] { ranOn = std::this_thread::get_id(); }));
        returned = true;
    });
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!returned && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    caller.join();
    EXPECT_TRUE(returned.load());
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    // ProcessPending delivers only this dispatcher's calls, without a full event loop.
    std::atomic<bool> second{false};
    std::thread caller2([&] { second = d.RunOnUiAndWait([] {}); });
    while (!second && std::chrono::steady_clock::now() < end) {
        d.ProcessPending();
        std::this_thread::sleep_for(1ms);
    }
    caller2.join();
    EXPECT_TRUE(second.load());
}

TEST(QtUiDispatcher, CloseReleasesACallerWhoseCallNeverRuns) {
    App();
    TQtUiDispatcher d;
    std::atomic<int> ran{0};
    std::atomic<bool> result{true};
    std::thread caller([&] { result = d.RunOnUiAndWait([&] { ran.fetch_add(1); }); });
    std::this_thread::sleep_for(20ms);
    d.Close();
    caller.join();
    QCoreApplication::processEvents();  // the posted call finds itself cancelled
    EXPECT_FALSE(result.load());
    EXPECT_EQ(ran.load(), 0);
}
