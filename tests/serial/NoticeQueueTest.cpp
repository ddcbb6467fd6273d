// The bounded notice queue on its own: what it drops, what it keeps.

#include "serial/NoticeQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TCommNotice Chunk(uint8_t tag) {
    TCommNotice n;
    n.Kind = TCommNotice::TKind::GotCommData;
    n.Data = {tag, 0};
    return n;
}

TCommNotice Hangup() {
    TCommNotice n;
    n.Kind = TCommNotice::TKind::RequestHangup;
    return n;
}

}  // namespace

TEST(TNoticeQueueTest, AFullQueueDropsTheOldestButNeverAHangupRequestAndWakesOncePerDelivery) {
    int wakes = 0;
    TNoticeQueue queue(4, [&] {
        ++wakes;
        return true;
    });
    ASSERT_TRUE(queue.PostNotice(Hangup()));
    for (uint8_t tag = 1; tag <= 6; ++tag)
        ASSERT_TRUE(queue.PostNotice(Chunk(tag)));
    EXPECT_EQ(wakes, 1);
    EXPECT_EQ(queue.Queued(), 4u);
    EXPECT_EQ(queue.Dropped(), 3u);

    queue.BeginDelivery();
    std::vector<int> got;
    while (auto n = queue.Take())
        got.push_back(n->Kind == TCommNotice::TKind::RequestHangup ? -1 : n->Data[0]);
    EXPECT_EQ(got, (std::vector<int>{-1, 4, 5, 6}));

    // A queue that is disconnected wakes nobody and takes nothing more.
    queue.PostNotice(Chunk(7));
    EXPECT_EQ(wakes, 2);
    queue.Disconnect();
    EXPECT_FALSE(queue.PostNotice(Chunk(8)));
    EXPECT_EQ(queue.Queued(), 0u);
    EXPECT_EQ(wakes, 2);
}
