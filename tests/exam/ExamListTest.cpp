#include "exam/ExamList.h"

#include <gtest/gtest.h>

namespace {

// The window's edges: a start less than half a second ahead has begun; an
// end is passed only once now is later; texts that are no date.
TEST(ExamListTimes, EdgesOfTheExamWindow)
{
    const QDateTime start(QDate(2026, 3, 15), QTime(10, 0), Qt::LocalTime);
    EXPECT_TRUE(ExamList::hasBegun("2026/03/15 10:00", start));
    EXPECT_TRUE(ExamList::hasBegun("2026/03/15 10:00", start.addMSecs(-400)));
    EXPECT_FALSE(ExamList::hasBegun("2026/03/15 10:00", start.addMSecs(-500)));
    EXPECT_FALSE(ExamList::hasBegun("明天", start));
    EXPECT_FALSE(ExamList::hasBegun("", start));

    EXPECT_FALSE(ExamList::hasEnded("2026/03/15 10:00", start));
    EXPECT_TRUE(ExamList::hasEnded("2026/03/15 10:00", start.addMSecs(1)));
    EXPECT_TRUE(ExamList::hasEnded("不详", start));
    EXPECT_TRUE(ExamList::hasEnded("2026/02/30 10:00", start)); // no such day
}

} // namespace
