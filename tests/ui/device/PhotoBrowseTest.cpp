// Browsing the module's photos (the photo number box and the previous/next
// buttons) and the snapshot file name and capture rectangle.

#include "ui/device/PhotoBrowse.h"

#include "ui/liveview/SnapshotFiles.h"
#include "ui/support/Convert.h"

#include <QDate>
#include <QTime>
#include <gtest/gtest.h>

namespace {

std::string Str(const QString &text) {
    return text.toStdString();
}

TPhotoBoxState Settle(const char *box, int32_t count) {
    const auto state = SettlePhotoNumBox(QString::fromUtf8(box), count);
    EXPECT_TRUE(state) << box << " / " << count;
    return state.value_or(TPhotoBoxState{});
}

}  // namespace

TEST(PhotoNumBox, KeepsTheNumberBetweenOneAndTheCount) {
    TPhotoBoxState s = Settle("3", 5);
    EXPECT_EQ(Str(s.Text), "3");
    EXPECT_TRUE(s.PrivEnabled);
    EXPECT_TRUE(s.NextEnabled);

    s = Settle("5", 5);
    EXPECT_EQ(Str(s.Text), "5");
    EXPECT_TRUE(s.PrivEnabled);
    EXPECT_FALSE(s.NextEnabled);

    s = Settle("9", 5);
    EXPECT_EQ(Str(s.Text), "5");
    EXPECT_TRUE(s.PrivEnabled);
    EXPECT_FALSE(s.NextEnabled);

    s = Settle("0001", 5);
    EXPECT_EQ(Str(s.Text), "1");
    EXPECT_FALSE(s.PrivEnabled);
    EXPECT_TRUE(s.NextEnabled);

    s = Settle("-4", 5);
    EXPECT_EQ(Str(s.Text), "1");
    EXPECT_FALSE(s.PrivEnabled);
    EXPECT_TRUE(s.NextEnabled);

    s = Settle("1", 1);
    EXPECT_EQ(Str(s.Text), "1");
    EXPECT_FALSE(s.PrivEnabled);
    EXPECT_FALSE(s.NextEnabled);
}

TEST(PhotoNumBox, EmptyOrNonNumberLeavesEverything) {
    EXPECT_FALSE(SettlePhotoNumBox(QString(), 5));
    EXPECT_FALSE(SettlePhotoNumBox(QStringLiteral("a1"), 5));
}

TEST(PhotoNumBox, NoSavedPhotoSettlesOnZeroWithBothButtonsOff) {
    // With no photo the two rules would flip the box between 0 and 1 for ever.
    for (const char *box : {"0", "1", "0001", "7", "-1"}) {
        const TPhotoBoxState s = Settle(box, 0);
        EXPECT_EQ(Str(s.Text), "0") << box;
        EXPECT_FALSE(s.PrivEnabled) << box;
        EXPECT_FALSE(s.NextEnabled) << box;
    }
}

TEST(PhotoNumBox, EveryResultIsSettled) {
    // Whatever the box and the count, the result is a text the box keeps when its
    // change handler runs on it again, and lies in 1..count (0 without photos).
    for (int count = 0; count <= 6; ++count) {
        for (int n = -3; n <= 9; ++n) {
            const auto first = SettlePhotoNumBox(QString::number(n), count);
            ASSERT_TRUE(first);
            const int shown = first->Text.toInt();
            if (count == 0)
                EXPECT_EQ(shown, 0);
            else
                EXPECT_TRUE(shown >= 1 && shown <= count) << n << " of " << count;
            const auto again = SettlePhotoNumBox(first->Text, count);
            ASSERT_TRUE(again);
            EXPECT_EQ(Str(again->Text), Str(first->Text)) << n << " of " << count;
            EXPECT_EQ(again->NextEnabled, shown < count) << n << " of " << count;
        }
    }
}

TEST(PhotoButtons, PrivFromOneAsksForZeroAndTheBoxReturnsToOne) {
    const TPhotoStep step = PhotoStep(QStringLiteral("0001"), PSD_Priv, 1);
    EXPECT_EQ(step.Number, 0);
    EXPECT_EQ(Str(step.BoxText), "0");
    EXPECT_EQ(Str(step.Command), "$OUTP=0\r\n");

    const TPhotoBoxState s = Settle("0", 5);
    EXPECT_EQ(Str(s.Text), "1");
    EXPECT_FALSE(s.PrivEnabled);
}

TEST(PhotoButtons, NextToTheLastDisablesNext) {
    const TPhotoStep step = PhotoStep(QStringLiteral("4"), PSD_Next, 1);
    EXPECT_EQ(Str(step.Command), "$OUTP=5\r\n");
    const TPhotoBoxState s = Settle(step.BoxText.toUtf8().constData(), 5);
    EXPECT_EQ(Str(s.Text), "5");
    EXPECT_FALSE(s.NextEnabled);
    EXPECT_TRUE(s.PrivEnabled);

    // The command carries the stepped number even where the box then clamps it.
    EXPECT_EQ(Str(PhotoStep(QStringLiteral("5"), PSD_Next, 1).Command), "$OUTP=6\r\n");
}

TEST(PhotoButtons, NonNumberRaisesAndTheRangeEndsDoNotOverflow) {
    try {
        PhotoStep(QStringLiteral("x"), PSD_Next, 0);
        FAIL() << "no conversion error";
    } catch (const EConvertError &e) {
        EXPECT_EQ(Str(e.Message()), "'x' 不是有效的整数值");
    }
    EXPECT_THROW(PhotoStep(QString(), PSD_Priv, 1), EConvertError);
    EXPECT_EQ(PhotoStep(QStringLiteral("2147483647"), PSD_Next, 1).Number, 2147483648LL);
    EXPECT_EQ(PhotoStep(QStringLiteral("-2147483648"), PSD_Priv, 1).Number, -2147483649LL);
}

TEST(Snapshot, FileNameFromLocalTime) {
    EXPECT_EQ(Str(SnapshotFileName(QDateTime(QDate(2019, 11, 20), QTime(21, 26, 7)))),
              "MLX_PHOTO_20191120212607.jpg");
    EXPECT_EQ(Str(SnapshotFileName(QDateTime(QDate(2021, 3, 5), QTime(0, 0, 9)))),
              "MLX_PHOTO_20210305000009.jpg");
    EXPECT_EQ(
        Str(SnapshotFilePath(QStringLiteral("/opt/korvale/"), QDateTime(QDate(2021, 3, 5), QTime(14, 7, 9)))),
        "/opt/korvale/Photos/MLX_PHOTO_20210305140709.jpg");
}

TEST(Snapshot, CaptureRectangleTakesPictureMarginsAndLegend) {
    const TCaptureRect r = SnapshotCaptureRect(748, 116, 512, 384);
    EXPECT_EQ(r.Left, 748);
    EXPECT_EQ(r.Top, 108);
    EXPECT_EQ(r.Right, 1358);
    EXPECT_EQ(r.Bottom, 508);
    EXPECT_EQ(r.Width(), 610);
    EXPECT_EQ(r.Height(), 400);

    const TCaptureRect small = SnapshotCaptureRect(-20, 3, 100, 50);
    EXPECT_EQ(small.Left, -20);
    EXPECT_EQ(small.Top, -5);
    EXPECT_EQ(small.Width(), 198);
    EXPECT_EQ(small.Height(), 66);
}
