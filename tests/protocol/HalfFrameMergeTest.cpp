// Chess-board merge of half frames into the frame memory.

#include "protocol/HalfFrameMerge.h"

#include "link/LinkTestSupport.h"

#include <gtest/gtest.h>

namespace {
bool OddCell(size_t p) {
    return ((p / 32) + (p % 32)) % 2 == 1;
}
}  // namespace

TEST(HalfFrameMerge, EachSubpageWritesItsChessBoardCellsAndTheAuxiliaryWords) {
    const TUINT16s before = PatternWords(4096, 40000);
    for (int subpage : {0, 1}) {
        TUINT16s dest = before;
        const TUINT16s pixels = PatternWords(384, 11);
        const TUINT16s aux = AuxWords(500, subpage);
        const TBytes half = HalfFrame(subpage ? "FR1" : "FR0", pixels, aux);
        ASSERT_TRUE(MergeHalfFrame(half.data(), half.size(), subpage, dest));

        size_t written = 0;
        for (size_t p = 0; p < 768; ++p) {
            if (OddCell(p) == (subpage == 1)) {
                // Pixel word i of the half frame lands at its cell, in order.
                EXPECT_EQ(dest[p], pixels[written]) << "p=" << p;
                ++written;
            } else {
                EXPECT_EQ(dest[p], before[p]) << "p=" << p;
            }
        }
        EXPECT_EQ(written, 384u);
        for (size_t j = 0; j < 66; ++j)
            EXPECT_EQ(dest[768 + j], aux[j]);
        for (size_t k = 834; k < dest.size(); ++k)
            ASSERT_EQ(dest[k], before[k]);
    }
}

TEST(HalfFrameMerge, RejectsShortFramesAndBadSubpagesAndGrowsAShortBuffer) {
    const TBytes half = HalfFrame("FR0", PatternWords(384, 1), AuxWords(2, 0));
    TUINT16s dest(10, 7);
    EXPECT_FALSE(MergeHalfFrame(half.data(), 906, 0, dest));
    EXPECT_FALSE(MergeHalfFrame(half.data(), half.size(), 2, dest));
    EXPECT_EQ(dest, TUINT16s(10, 7));
    EXPECT_TRUE(MergeHalfFrame(half.data(), half.size(), 0, dest));
    EXPECT_EQ(dest.size(), 834u);
    EXPECT_EQ(dest[833], 0);
}

TEST(HalfFrameMerge, TwoHalvesThroughTheLinkMakeOneFrameMemory) {
    TLinkHarness h;
    h.FeedAndWait(EemFrame(PatternWords(832, 1)));
    const TUINT16s even = PatternWords(384, 1000), odd = PatternWords(384, 2000);
    h.FeedAndWait(HalfFrame("FR1", even, AuxWords(10, 0)));  // the type letter does not matter
    h.FeedAndWait(HalfFrame("FR0", odd, AuxWords(20, 1)));
    const auto rams = h.sink->Rams();
    ASSERT_EQ(rams.size(), 2u);
    EXPECT_EQ(rams[1].size(), 4096u);  // the merge buffer itself is handed over
    size_t ie = 0, io = 0;
    for (size_t p = 0; p < 768; ++p)
        EXPECT_EQ(rams[1][p], OddCell(p) ? odd[io++] : even[ie++]);
    EXPECT_EQ(rams[1][833], 1);
    EXPECT_EQ(h.core->LastFrameIndex.load(), 1);
    EXPECT_EQ(h.core->dataCalcRate.load(), 2);
}

TEST(HalfFrameMerge, IntakeStartsWithAFullSizeMergeBuffer) {
    TFrameIntake intake{TLinkHooks{}};
    std::lock_guard<std::mutex> lock(intake.Core().HandOffMutex);
    EXPECT_EQ(intake.Core().RecvedFrmDatas.size(), 4096u);
}
