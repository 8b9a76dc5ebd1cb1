#include "store/Clock.h"
#include "store/Encoding.h"

#include <gtest/gtest.h>

TEST(Encoding, CutsAtGbBytesWithoutBreakingACharacter)
{
    // Chinese characters take two bytes, ASCII one.
    EXPECT_EQ(Encoding::gbLength("中文ab"), 6);
    EXPECT_EQ(Encoding::cutToGbBytes("中文ab", 3), "中");
    EXPECT_EQ(Encoding::cutToGbBytes("a中文", 4), "a中");
    EXPECT_EQ(Encoding::cutToGbBytes("a中文", 5), "a中文");
    // A character outside the BMP is four bytes in GB18030 and is kept whole.
    const QString emoji = QString::fromUcs4(U"\U0001F600x");
    EXPECT_EQ(Encoding::gbLength(emoji), 5);
    EXPECT_EQ(Encoding::cutToGbBytes(emoji, 3), "");
    EXPECT_EQ(Encoding::fromGb(Encoding::toGb("部门€")), "部门€");
}

TEST(Clock, FormatsDoNotFollowTheLocale)
{
    const QDateTime t(QDate(2019, 5, 20), QTime(8, 30, 5));
    EXPECT_EQ(Clock::formatSlash(t), "2019/05/20 08:30:05");
    EXPECT_EQ(Clock::formatSlashWide(t), QString("2019/05/20") + QChar(0x3000) + "08:30:05");
    EXPECT_EQ(Clock::formatChinese(t), QString("2019年05月20日") + QChar(0x3000) + "08:30:05");
    EXPECT_EQ(Clock::formatTime(t), "08:30:05");
}

TEST(Clock, ReadsStoredExamTimesAsLocalTimeAndRefusesOtherText)
{
    EXPECT_EQ(Clock::parseLocal("2019/05/20 08:30"), QDateTime(QDate(2019, 5, 20), QTime(8, 30)));
    EXPECT_EQ(Clock::parseLocal("2019-5-2 8:05:09"), QDateTime(QDate(2019, 5, 2), QTime(8, 5, 9)));
    EXPECT_FALSE(Clock::parseLocal("明天上午").isValid());
    EXPECT_FALSE(Clock::parseLocal("2019/02/30 08:30").isValid());
    EXPECT_FALSE(Clock::parseLocal("2019/05/20 25:30").isValid());

    Clock::setFixed(QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
    Clock::advance(90);
    EXPECT_EQ(Clock::now(), QDateTime(QDate(2020, 1, 1), QTime(0, 1, 30)));
    Clock::setFixed(QDateTime());
    EXPECT_GT(Clock::now().date().year(), 2020);
}
