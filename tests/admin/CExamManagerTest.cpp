// The roster screen and its import pop-up, driven through their widgets.
#include "admin/CExamManager.h"
#include "admin/CImportExaminee.h"
#include "admin/Roster.h"
#include "app/ShellOpen.h"
#include "store/CADOConn.h"

#include "AdminScreens.h"
#include "support/VornTest.h"

namespace {

constexpr int kList = 1031;

class CExamManagerTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        writeDepartments();
    }

    std::unique_ptr<CExamManager> open()
    {
        auto s = std::make_unique<CExamManager>();
        s->show();
        return s;
    }

    QStringList stored()
    {
        QStringList rows;
        for (const QStringList &r : outsiderRows(Db::Personnel, "select 姓名,部门,职务 from examinee order by ID"))
            rows << r.join(QLatin1Char(' '));
        return rows;
    }

    void seed()
    {
        for (const auto &[n, d, p] : {std::tuple{"张三", "财务部", "会计"}, {"李四", "财务部", "出纳"},
                                      {"张三", "人事部", "主管"}, {"O'Brien", "技术部", "工程师"}})
            ASSERT_EQ(Roster::add(n, d, p), Roster::Add::Added);
    }
};

} // namespace

TEST_F(CExamManagerTest, QueryShowAllAndClearing)
{
    seed();
    auto s = open();
    EXPECT_EQ(s->windowTitle(), "Lumet—考试管理员管理");
    EXPECT_EQ(items(*s, 1033), (QStringList{"财务部", "人事部", "技术部"}));
    EXPECT_EQ(items(*s, 1039), (QStringList{"财务部", "人事部", "技术部"}));
    EXPECT_TRUE(items(*s, 1036).isEmpty());

    expectBox("查询条件不能为空！", Caption::Remind);
    click(*s, 1001);

    ASSERT_TRUE(choose(*s, 1033, "财务部"));
    EXPECT_EQ(items(*s, 1036), (QStringList{"会计", "出纳"}));
    click(*s, 1001);
    EXPECT_EQ(rowsOf(*s, kList, 0, 3), (QStringList{"1 张三 财务部 会计", "2 李四 财务部 出纳"}));

    // No match keeps the list as it was.
    typeInto(*s, 1032, "王五");
    expectBox("没有要查询的考生数据！", Caption::Remind);
    click(*s, 1001);
    EXPECT_EQ(s->control<QTableWidget>(kList)->rowCount(), 2);

    // Spaces never reach the name box.
    typeInto(*s, 1032, "O' Brien");
    EXPECT_EQ(s->text(1032), "O'Brien");
    click(*s, 1017);
    EXPECT_EQ(s->text(1032), "");
    EXPECT_EQ(s->control<QComboBox>(1033)->currentIndex(), -1);
    EXPECT_TRUE(items(*s, 1036).isEmpty());
    typeInto(*s, 1032, "O'Brien");
    click(*s, 1001);
    EXPECT_EQ(rowsOf(*s, kList, 0, 3), QStringList{"1 O'Brien 技术部 工程师"});

    click(*s, 1007);
    EXPECT_EQ(rowsOf(*s, kList, 0, 3).size(), 4);
    EXPECT_EQ(s->control<QTableWidget>(kList)->columnWidth(4), 0);
    saveShot(s.get(), "CExamManager");
    click(*s, 1015);
    EXPECT_EQ(s->control<QTableWidget>(kList)->rowCount(), 0);

    Roster::removeAll();
    expectBox("考生数据为空！", Caption::Tip);
    click(*s, 1007);
}

TEST_F(CExamManagerTest, AddingOnePerson)
{
    auto s = open();
    expectBox("添加数据不能有空格！", Caption::Remind);
    click(*s, 1002);

    ASSERT_TRUE(choose(*s, 1039, "技术部"));
    ASSERT_TRUE(choose(*s, 1042, "主管"));
    typeInto(*s, 1045, "O'Brien");
    expectBox("添加成功!", Caption::Tip);
    click(*s, 1002);
    EXPECT_EQ(s->text(1045), "");
    EXPECT_EQ(s->control<QComboBox>(1039)->currentIndex(), -1);
    EXPECT_TRUE(items(*s, 1042).isEmpty());

    ASSERT_TRUE(choose(*s, 1039, "技术部"));
    ASSERT_TRUE(choose(*s, 1042, "主管"));
    typeInto(*s, 1045, "O'Brien");
    expectBox("考生已存在，不能重复添加！", Caption::Tip);
    click(*s, 1002);
    typeInto(*s, 1045, "O;Brien");
    expectBox("考生姓名中不能含有';'！", Caption::Tip);
    click(*s, 1002);
    EXPECT_EQ(stored(), QStringList{"O'Brien 技术部 主管"});
}

TEST_F(CExamManagerTest, DoubleClickDeletesTheRowAndDeleteAllAsksFirst)
{
    seed();
    auto s = open();
    auto *list = s->control<QTableWidget>(kList);
    // Nothing in the list: a double-click deletes nothing.
    doubleClick(list, QPoint(20, 20));
    click(*s, 1007);
    const QRect second = list->visualItemRect(list->item(1, 1));
    doubleClick(list, second.center());
    EXPECT_EQ(rowsOf(*s, kList, 0, 3), (QStringList{"1 张三 财务部 会计", "3 张三 人事部 主管", "4 O'Brien 技术部 工程师"}));
    EXPECT_EQ(stored(), (QStringList{"张三 财务部 会计", "张三 人事部 主管", "O'Brien 技术部 工程师"}));
    // Below the last row.
    doubleClick(list, QPoint(20, list->viewport()->height() - 5));
    EXPECT_EQ(stored().size(), 3);

    const QString ask = "您确定要删除系统保存的所有考生码?\n一旦删除将无法恢复！";
    expectBox(ask, Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(*s, 1009);
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_EQ(stored().size(), 3);
    expectBox(ask, Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    click(*s, 1009);
    EXPECT_TRUE(stored().isEmpty());
    expectBox("考生库已为空！", Caption::Tip);
    click(*s, 1009);
}

TEST_F(CExamManagerTest, ImportThroughThePopUp)
{
    seed();
    auto s = open();
    click(*s, 1007);

    answerFileDialog(""); // cancelled
    click(*s, 1003);
    answerFileDialog(adminFixture("Examinee.xls"));
    expectBox("请选择'examinee.xls'文件", Caption::Tip);
    click(*s, 1003);

    answerFileDialog(adminFixture("text/examinee.xls"));
    expectBox("无法打开Excel文件（不是Excel 97-2003格式的文件），导入失败！", Caption::Tip);
    click(*s, 1003);

    // 退出 closes the pop-up without importing.
    whenShown<CImportExaminee>([](CImportExaminee *popup) {
        saveShot(popup, "CImportExaminee");
        EXPECT_EQ(popup->windowTitle(), "Lumet—导入考生提示");
        click(*popup, 1002);
    });
    answerFileDialog(adminFixture("examinee.xls"));
    click(*s, 1003);
    EXPECT_EQ(stored().size(), 4);
    EXPECT_EQ(s->control<QTableWidget>(kList)->rowCount(), 4);

    whenShown<CImportExaminee>([](CImportExaminee *popup) { click(*popup, 1001); });
    answerFileDialog(adminFixture("examinee.xls"));
    expectBox("导入数据10条，已删除3条重复数据！\n另有3行的姓名、部门或职务为空，未导入。", Caption::Tip);
    click(*s, 1003);
    EXPECT_EQ(stored().size(), 11);
    EXPECT_EQ(s->control<QTableWidget>(kList)->rowCount(), 0);

    whenShown<CImportExaminee>([](CImportExaminee *popup) { click(*popup, 1001); });
    answerFileDialog(adminFixture("swapped/examinee.xls"));
    expectBox("Excel考生表没有按照模板要求输入，导入失败！", Caption::Tip);
    click(*s, 1003);
    EXPECT_EQ(stored().size(), 11);
}

TEST_F(CExamManagerTest, TemplateAndRoutes)
{
    QString opened;
    ShellOpen::setHandler([&](const QString &p) { opened = p; });
    auto s = open();
    click(*s, 1005);
    ShellOpen::setHandler({});
    EXPECT_EQ(opened, QDir(workDir()).absoluteFilePath("examinee.xls"));
    EXPECT_TRUE(QFile::exists(opened));

    for (const auto &[id, target] : {std::pair{1020, ScreenId::ExamManagement}, {1022, ScreenId::CheckScore},
                                     {1011, ScreenId::Login}}) {
        auto screen = open();
        click(*screen, id);
        EXPECT_EQ(requestedScreen(), target) << id;
    }
    auto last = open();
    click(*last, 1013);
    EXPECT_TRUE(exited());
}
