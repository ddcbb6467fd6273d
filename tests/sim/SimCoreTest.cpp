// The virtual module's command interpreter, parameter block, clock and photo
// store, without a pseudo-terminal.
#include "sim/SimModule.h"
#include "sim/SimStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sim_test;

namespace {

TSimOptions Quiet() {
    TSimOptions o;
    o.noise = 0;
    o.pacing = false;
    return o;
}

std::vector<TBytes> Say(TModuleCore &m, const std::string &text, double now = 0) {
    std::vector<TBytes> replies;
    m.Receive(reinterpret_cast<const uint8_t *>(text.data()), text.size(), now, replies);
    return replies;
}

TSysBlock AskBlock(TModuleCore &m, double now = 0) {
    const std::vector<TBytes> r = Say(m, "$SETP=17,4\r\n", now);
    EXPECT_EQ(r.size(), 1u);
    if (r.empty())
        return {};
    EXPECT_EQ(r[0].size(), kSysFrameBytes);
    return BlockOf({"SYS", r[0]});
}

TEST(SimModule, FactoryParametersAndCalibrationAnswers) {
    TModuleCore m(Quiet());
    const TSysBlock b = AskBlock(m);
    EXPECT_EQ(b[1], 4608);
    EXPECT_EQ(b[4], 2);
    EXPECT_EQ(b[5], 4);
    EXPECT_EQ(b[6], 1);
    EXPECT_EQ(b[7], 1);
    EXPECT_EQ(b[8], 1);
    EXPECT_EQ(b[9], 1);
    EXPECT_EQ(b[10], 3);
    EXPECT_EQ(b[11], 0);
    EXPECT_GT(b[19], 2500);  // coin cell in mV
    EXPECT_LT(b[19], 3400);
    EXPECT_EQ(b[24], 0);
    EXPECT_TRUE(m.Streaming());
    EXPECT_DOUBLE_EQ(m.FramePeriod(), 0.125);
    EXPECT_EQ(m.LineSpeed(), 460800u);

    const std::vector<TBytes> eem = Say(m, "$SETP=17,3\r\n");
    ASSERT_EQ(eem.size(), 1u);
    ASSERT_EQ(eem[0].size(), kEemFrameBytes);
    EXPECT_EQ(std::string(eem[0].begin() + 4, eem[0].begin() + 7), "EEM");
    EXPECT_TRUE(CheckWordMatches(eem[0], 832));
    for (size_t k = 0; k < 832; ++k)
        ASSERT_EQ(PayloadWord(eem[0], k), m.Calibration()[k]) << k;
}

TEST(SimModule, SettingsAreTakenWhenValidAndIgnoredOtherwise) {
    TModuleCore m(Quiet());
    Say(m,
        "$SETP=5,7\r\n$SETP=1,13824\r\n$SETP=6,0\r\n$SETP=11,1\r\n$SETP=9,0\r\n$SETP=10,12\r\n$SETP=4,3\r\n");
    EXPECT_DOUBLE_EQ(m.FramePeriod(), 1.0 / 64);
    EXPECT_EQ(m.LineSpeed(), 1382400u);
    EXPECT_TRUE(m.HalfFrames());
    EXPECT_EQ(m.MinIntervalMs(), 12);
    TSysBlock b = AskBlock(m);
    EXPECT_EQ(b[6], 0);
    EXPECT_EQ(b[9], 0);
    EXPECT_EQ(b[4], 3);

    // Out of range, malformed or unknown: nothing changes.
    Say(m, "$SETP=1,0\r\n$SETP=5,8\r\n$SETP=6,-1\r\n$SETP=4\r\n$SETP=5,x\r\n$SETP=12,1\r\n$SETP=3,5\r\n");
    Say(m, "$FOO=1\r\nhello\r\n$SETP=5, 3\r\n");
    EXPECT_EQ(AskBlock(m), b);

    // A command split over several receptions, ended by CR alone.
    Say(m, "$SE");
    Say(m, "TP=5,");
    Say(m, "1\r");
    EXPECT_DOUBLE_EQ(m.FramePeriod(), 1.0);

    // Factory defaults.
    EXPECT_TRUE(Say(m, "$SETP=17,2\r\n").empty());
    b = AskBlock(m);
    EXPECT_EQ(b[1], 4608);
    EXPECT_EQ(b[5], 4);
    EXPECT_EQ(b[11], 0);
}

TEST(SimModule, OutputPortAndLiveOutputDecideStreaming) {
    TModuleCore m(Quiet());
    Say(m, "$SETP=7,0\r\n");
    EXPECT_FALSE(m.Streaming());
    Say(m, "$SETP=7,1\r\n$SETP=8,2\r\n");  // USB port only: not this line
    EXPECT_FALSE(m.Streaming());
    Say(m, "$SETP=8,3\r\n");
    EXPECT_TRUE(m.Streaming());
    Say(m, "$SETP=8,0\r\n");
    EXPECT_TRUE(m.Streaming());
}

TEST(SimModule, RebootIsReportedOnce) {
    TModuleCore m(Quiet());
    Say(m, "$SETP=5,6\r\n$SETP=17,1\r\n");
    EXPECT_TRUE(m.TakeRebootRequest());
    EXPECT_FALSE(m.TakeRebootRequest());
    m.Reboot();
    EXPECT_DOUBLE_EQ(m.FramePeriod(), 1.0 / 32);  // settings survive a reboot
}

TEST(SimModule, ClockIsSetAndKeptInPackedDecimal) {
    TModuleCore m(Quiet());
    Say(m, "$STDT=2021/03/05 14:07:09\r\n", 100.0);
    TSysBlock b = AskBlock(m, 100.4);
    EXPECT_EQ(b[21], 0x2103);
    EXPECT_EQ(b[22], 0x0514);
    EXPECT_EQ(b[23], 0x0709);
    b = AskBlock(m, 100.0 + 3600 * 10 + 53 * 60 + 51);  // 10:53:51 later: past midnight
    EXPECT_EQ(b[21], 0x2103);
    EXPECT_EQ(b[22], 0x0601);
    EXPECT_EQ(b[23], 0x0100);

    // Other separators (the host uses its locale's) are accepted.
    Say(m, "$STDT=2024-02-29 23:59:59\r\n", 0);
    b = AskBlock(m, 1);
    EXPECT_EQ(b[21], 0x2403);
    EXPECT_EQ(b[22], 0x0100);
    EXPECT_EQ(b[23], 0x0000);

    // Impossible dates are ignored.
    for (const char *bad :
         {"$STDT=2023/02/29 10:00:00\r\n", "$STDT=2021/13/01 10:00:00\r\n", "$STDT=2021/03/05 24:00:00\r\n",
          "$STDT=2021/03/05\r\n", "$STDT=21/3/5 1:2:3:4\r\n"}) {
        Say(m, bad, 0);
        EXPECT_EQ(AskBlock(m, 1)[21], 0x2403) << bad;
    }
}

TEST(SimModule, PhotoStoreSavesSendsAndClears) {
    TModuleCore m(Quiet());
    Say(m, "$STDT=2022/11/30 08:15:00\r\n", 0);
    m.NextFrame(0.0, nullptr);
    Say(m, "$SVEP\r\n", 5);
    m.NextFrame(0.1, nullptr);
    Say(m, "$SVEP\r\n", 65);
    EXPECT_EQ(AskBlock(m, 70)[24], 2);

    std::vector<TBytes> r = Say(m, "$OUTP=-1\r\n", 70);
    ASSERT_EQ(r.size(), 1u);
    ASSERT_EQ(r[0].size(), kPhotoFrameBytes);
    EXPECT_EQ(std::string(r[0].begin() + 4, r[0].begin() + 7), "PHT");
    const uint8_t latest[6] = {0x22, 0x11, 0x30, 0x08, 0x16, 0x05};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(r[0][1675 + k], latest[k]) << k;
    EXPECT_EQ(r[0][1674], 1);  // second photo was taken after a subpage-1 frame

    r = Say(m, "$OUTP=1\r\n", 70);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0][1680], 0x05);  // 08:15:05
    EXPECT_EQ(r[0][1674], 0);

    EXPECT_TRUE(Say(m, "$OUTP=0\r\n$OUTP=3\r\n$OUTP=x\r\n", 70).empty());
    Say(m, "$CLRP\r\n", 70);
    EXPECT_EQ(AskBlock(m, 70)[24], 0);
    EXPECT_TRUE(Say(m, "$OUTP=-1\r\n", 70).empty());
}

TEST(SimModule, FramesAlternateSubpagesAndFollowThePattern) {
    TSimOptions o = Quiet();
    TScene::Parse("uniform:30", o.scene, nullptr);
    TModuleCore m(o);
    for (int k = 0; k < 4; ++k) {
        const TBytes f = m.NextFrame(k * 0.125, nullptr);
        ASSERT_EQ(f.size(), kFullFrameBytes);
        EXPECT_EQ(f[1674], k % 2);
        EXPECT_TRUE(CheckWordMatches(f, 834));
        EXPECT_EQ(PayloadWord(f, 832) & 0x1000, 0x1000);  // chess
        EXPECT_EQ((PayloadWord(f, 832) >> 10) & 3, 2);    // 18 bits
    }
    Say(m, "$SETP=6,0\r\n$SETP=11,1\r\n$SETP=4,1\r\n");
    for (int k = 0; k < 2; ++k) {
        const TBytes f = m.NextFrame(1 + k * 0.125, nullptr);
        ASSERT_EQ(f.size(), kHalfFrameBytes);
        EXPECT_EQ(std::string(f.begin() + 4, f.begin() + 7), k == 0 ? "FR0" : "FR1");
        EXPECT_EQ(f[906], k);
        const uint16_t control = WordAt(f, 7 + 2 * (384 + 832 - 768));
        EXPECT_EQ(control & 0x1000, 0);     // interleaved
        EXPECT_EQ((control >> 10) & 3, 1);  // 17 bits
    }
}

}  // namespace
