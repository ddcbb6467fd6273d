#include "timing/Delay.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Notes the time at which an event posted from another thread is handled. The event
// is posted with QCoreApplication::postEvent: a queued call of a functor would leave
// the functor's last reference to the posting thread, which ThreadSanitizer cannot
// see ordered behind the call inside Qt.
class TEventClock : public QObject {
public:
    explicit TEventClock(const QElapsedTimer &clock) : fClock(clock) {}
    std::atomic<qint64> HandledAt{-1};

protected:
    bool event(QEvent *e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        HandledAt.store(fClock.elapsed());
        return true;
    }

private:
    const QElapsedTimer &fClock;
};

}  // namespace

TEST(DelayTest, ZeroHandlesPendingEventsAndReturns) {
    QObject context;
    std::vector<int> ran;
    for (int i = 0; i < 3; ++i)
        QMetaObject::invokeMethod(
            &context, [&ran, i] { ran.push_back(i); }, Qt::QueuedConnection);
    QElapsedTimer clock;
    clock.start();
    Delay(0);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2}));

    // A negative time behaves as 0.
    bool late = false;
    QMetaObject::invokeMethod(
        &context, [&] { late = true; }, Qt::QueuedConnection);
    clock.start();
    Delay(-50);
    EXPECT_TRUE(late);
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(DelayTest, WaitsTheFullTimeWhileHandlingEventsAsTheyArrive) {
    QObject context;
    QElapsedTimer clock;
    clock.start();
    TEventClock posted(clock);
    qint64 timerAt = -1;
    QTimer::singleShot(50, &context, [&] { timerAt = clock.elapsed(); });
    std::thread poster([&] {
        std::this_thread::sleep_for(100ms);
        QCoreApplication::postEvent(&posted, new QEvent(QEvent::User));
    });
    Delay(400);
    const qint64 total = clock.elapsed();
    poster.join();
    EXPECT_GE(total, 400);
    // Both were handled during the wait, not only at its end.
    const qint64 postedAt = posted.HandledAt.load();
    ASSERT_GE(timerAt, 0);
    ASSERT_GE(postedAt, 0);
    EXPECT_LT(timerAt, 390);
    EXPECT_LT(postedAt, 390);
}

TEST(DelayTest, NestedDelaysEachWaitTheirTime) {
    QObject context;
    QElapsedTimer clock;
    clock.start();
    qint64 innerDone = -1;
    QTimer::singleShot(20, &context, [&] {
        Delay(150);
        innerDone = clock.elapsed();
    });
    Delay(100);
    EXPECT_GE(clock.elapsed(), 100);
    // The outer wait ends after the handler that waits inside it has finished.
    EXPECT_GE(innerDone, 170);
}
