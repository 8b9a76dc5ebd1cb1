#include "app/DepartmentPostPicker.h"
#include "store/SettingsFile.h"

#include "support/VornTest.h"

#include <QComboBox>

namespace {

QStringList itemsOf(const QComboBox &combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}

} // namespace

TEST_F(VornTest, PickerWithoutSettingsFileOffersNothing)
{
    QComboBox departments, posts;
    DepartmentPostPicker picker(&departments, &posts);
    picker.fill();
    EXPECT_EQ(departments.count(), 0);
    EXPECT_EQ(posts.count(), 0);
    EXPECT_EQ(departments.currentIndex(), -1);
}

TEST_F(VornTest, PickerRefillsPostsFromTheChosenDepartment)
{
    const SettingsFile file;
    ASSERT_TRUE(file.writeDepartmentTree({{QStringLiteral("财务部"), {QStringLiteral("会计"), QStringLiteral("出纳")}},
                                          {QStringLiteral("财务部"), {QStringLiteral("审计")}},
                                          {QStringLiteral("后勤"), {}}}));
    QComboBox departments, posts;
    DepartmentPostPicker picker(&departments, &posts);
    posts.addItem(QStringLiteral("旧的"));
    picker.fill();
    EXPECT_EQ(itemsOf(departments), (QStringList{"财务部", "财务部", "后勤"}));
    EXPECT_EQ(departments.currentIndex(), -1);
    EXPECT_EQ(posts.count(), 0);

    // Chosen by position: the second 财务部 has its own posts.
    departments.setCurrentIndex(1);
    EXPECT_EQ(itemsOf(posts), QStringList{"审计"});
    EXPECT_EQ(posts.currentIndex(), -1);
    departments.setCurrentIndex(0);
    EXPECT_EQ(itemsOf(posts), (QStringList{"会计", "出纳"}));
    departments.setCurrentIndex(2);
    EXPECT_EQ(posts.count(), 0);

    // Read afresh on every choice: a change saved meanwhile shows.
    ASSERT_TRUE(file.writeDepartmentTree({{QStringLiteral("财务部"), {QStringLiteral("总账")}}}));
    departments.setCurrentIndex(0);
    EXPECT_EQ(itemsOf(posts), QStringList{"总账"});
    picker.fill();
    EXPECT_EQ(itemsOf(departments), QStringList{"财务部"});
    EXPECT_EQ(posts.count(), 0);
}
