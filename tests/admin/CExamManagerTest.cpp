// The roster screen and its import pop-up, driven through their widgets.
#include "admin/CExamManager.h"
#include "admin/CImportExaminee.h"
#include "admin/Roster.h"
#include "app/ShellOpen.h"
#include "store/CADOConn.h"

#include "AdminScreens.h"
#include "support/ServerTest.h"
#include "support/VornTest.h"

namespace {


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
    EXPECT_EQ(items(*s, CExamManager::QueryDepartment), (QStringList{"财务部", "人事部", "技术部"}));
    EXPECT_EQ(items(*s, CExamManager::AddDepartment), (QStringList{"财务部", "人事部", "技术部"}));
    EXPECT_TRUE(items(*s, CExamManager::QueryPost).isEmpty());

    expectBox("查询条件不能为空！", Caption::Remind);
    click(*s, CExamManager::Query);

    ASSERT_TRUE(choose(*s, CExamManager::QueryDepartment, "财务部"));
    EXPECT_EQ(items(*s, CExamManager::QueryPost), (QStringList{"会计", "出纳"}));
    click(*s, CExamManager::Query);
    EXPECT_EQ(rowsOf(*s, CExamManager::List, 0, 3), (QStringList{"1 张三 财务部 会计", "2 李四 财务部 出纳"}));

    // No match keeps the list as it was.
    typeInto(*s, CExamManager::QueryName, "王五");
    expectBox("没有要查询的考生数据！", Caption::Remind);
    click(*s, CExamManager::Query);
    EXPECT_EQ(rowCountOf(*s, CExamManager::List), 2);

    // Spaces never reach the name box.
    typeInto(*s, CExamManager::QueryName, "O' Brien");
    EXPECT_EQ(s->text(CExamManager::QueryName), "O'Brien");
    click(*s, CExamManager::ClearQuery);
    EXPECT_EQ(s->text(CExamManager::QueryName), "");
    EXPECT_EQ(s->control<QComboBox>(CExamManager::QueryDepartment)->currentIndex(), -1);
    EXPECT_TRUE(items(*s, CExamManager::QueryPost).isEmpty());
    typeInto(*s, CExamManager::QueryName, "O'Brien");
    click(*s, CExamManager::Query);
    EXPECT_EQ(rowsOf(*s, CExamManager::List, 0, 3), QStringList{"1 O'Brien 技术部 工程师"});

    click(*s, CExamManager::ShowAll);
    EXPECT_EQ(rowsOf(*s, CExamManager::List, 0, 3).size(), 4);
    EXPECT_EQ(s->control<QTableView>(CExamManager::List)->columnWidth(4), 0);
    saveShot(s.get(), "CExamManager");
    click(*s, CExamManager::ClearList);
    EXPECT_EQ(rowCountOf(*s, CExamManager::List), 0);

    Roster::removeAll();
    expectBox("考生数据为空！", Caption::Tip);
    click(*s, CExamManager::ShowAll);
}

TEST_F(CExamManagerTest, AddingOnePerson)
{
    auto s = open();
    expectBox("添加数据不能有空格！", Caption::Remind);
    click(*s, CExamManager::Add);

    ASSERT_TRUE(choose(*s, CExamManager::AddDepartment, "技术部"));
    ASSERT_TRUE(choose(*s, CExamManager::AddPost, "主管"));
    typeInto(*s, CExamManager::AddName, "O'Brien");
    expectBox("添加成功!", Caption::Tip);
    click(*s, CExamManager::Add);
    EXPECT_EQ(s->text(CExamManager::AddName), "");
    EXPECT_EQ(s->control<QComboBox>(CExamManager::AddDepartment)->currentIndex(), -1);
    EXPECT_TRUE(items(*s, CExamManager::AddPost).isEmpty());

    ASSERT_TRUE(choose(*s, CExamManager::AddDepartment, "技术部"));
    ASSERT_TRUE(choose(*s, CExamManager::AddPost, "主管"));
    typeInto(*s, CExamManager::AddName, "O'Brien");
    expectBox("考生已存在，不能重复添加！", Caption::Tip);
    click(*s, CExamManager::Add);
    typeInto(*s, CExamManager::AddName, "O;Brien");
    expectBox("考生姓名中不能含有';'！", Caption::Tip);
    click(*s, CExamManager::Add);
    EXPECT_EQ(stored(), QStringList{"O'Brien 技术部 主管"});
}

// A lab station whose server goes away under the roster: the screen says so
// and keeps what was typed; once the server is back, the same click adds.
using CExamManagerOnServerTest = ServerTest;

TEST_F(CExamManagerOnServerTest, ALostServerIsReportedAndTheInputKept)
{
    writeDepartments();
    CExamManager s;
    s.show();
    ASSERT_TRUE(choose(s, CExamManager::AddDepartment, "技术部"));
    ASSERT_TRUE(choose(s, CExamManager::AddPost, "主管"));
    typeInto(s, CExamManager::AddName, "王五");
    ASSERT_TRUE(ServerCluster::stop());
    expectBox("与考试服务器的连接中断：网络或服务器暂时不可用。请稍后再试。\n"
              "（数据库引擎的原文：FATAL:  terminating connection due to administrator command）",
              Caption::Tip);
    click(s, CExamManager::Add);
    const bool started = ServerCluster::start();
    EXPECT_EQ(s.text(CExamManager::AddName), "王五");
    EXPECT_EQ(s.control<QComboBox>(CExamManager::AddDepartment)->currentText(), "技术部");
    EXPECT_EQ(s.control<QComboBox>(CExamManager::AddPost)->currentText(), "主管");
    ASSERT_TRUE(started);
    expectBox("添加成功!", Caption::Tip);
    click(s, CExamManager::Add);
    EXPECT_EQ(serverRows("select 姓名,部门,职务 from personnel.examinee"), (QList<QStringList>{{"王五", "技术部", "主管"}}));
}

TEST_F(CExamManagerTest, DoubleClickDeletesTheRowAndDeleteAllAsksFirst)
{
    seed();
    auto s = open();
    auto *list = s->control<QTableView>(CExamManager::List);
    // Nothing in the list: a double-click deletes nothing.
    doubleClick(list, QPoint(20, 20));
    click(*s, CExamManager::ShowAll);
    const QRect second = list->visualRect(list->model()->index(1, 1));
    doubleClick(list, second.center());
    EXPECT_EQ(rowsOf(*s, CExamManager::List, 0, 3), (QStringList{"1 张三 财务部 会计", "3 张三 人事部 主管", "4 O'Brien 技术部 工程师"}));
    EXPECT_EQ(stored(), (QStringList{"张三 财务部 会计", "张三 人事部 主管", "O'Brien 技术部 工程师"}));
    // Below the last row.
    doubleClick(list, QPoint(20, list->viewport()->height() - 5));
    EXPECT_EQ(stored().size(), 3);

    const QString ask = "您确定要删除系统保存的所有考生码?\n一旦删除将无法恢复！";
    expectBox(ask, Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(*s, CExamManager::DeleteAll);
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_EQ(stored().size(), 3);
    expectBox(ask, Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    click(*s, CExamManager::DeleteAll);
    EXPECT_TRUE(stored().isEmpty());
    expectBox("考生库已为空！", Caption::Tip);
    click(*s, CExamManager::DeleteAll);
}

TEST_F(CExamManagerTest, ImportThroughThePopUp)
{
    seed();
    auto s = open();
    click(*s, CExamManager::ShowAll);

    answerFileDialog(""); // cancelled
    click(*s, CExamManager::Import);
    answerFileDialog(adminFixture("Examinee.xls"));
    expectBox("请选择'examinee.xls'文件", Caption::Tip);
    click(*s, CExamManager::Import);

    answerFileDialog(adminFixture("text/examinee.xls"));
    expectBox("无法打开Excel文件（不是Excel 97-2003格式的文件），导入失败！", Caption::Tip);
    click(*s, CExamManager::Import);

    // 退出 closes the pop-up without importing.
    whenShown<CImportExaminee>([](CImportExaminee *popup) {
        saveShot(popup, "CImportExaminee");
        EXPECT_EQ(popup->windowTitle(), "Lumet—导入考生提示");
        click(*popup, CImportExaminee::Cancel);
    });
    answerFileDialog(adminFixture("examinee.xls"));
    click(*s, CExamManager::Import);
    EXPECT_EQ(stored().size(), 4);
    EXPECT_EQ(rowCountOf(*s, CExamManager::List), 4);

    whenShown<CImportExaminee>([](CImportExaminee *popup) { click(*popup, CImportExaminee::Import); });
    answerFileDialog(adminFixture("examinee.xls"));
    expectBox("导入数据10条，已删除3条重复数据！\n另有3行的姓名、部门或职务为空，未导入。", Caption::Tip);
    click(*s, CExamManager::Import);
    EXPECT_EQ(stored().size(), 11);
    EXPECT_EQ(rowCountOf(*s, CExamManager::List), 0);

    whenShown<CImportExaminee>([](CImportExaminee *popup) { click(*popup, CImportExaminee::Import); });
    answerFileDialog(adminFixture("swapped/examinee.xls"));
    expectBox("Excel考生表没有按照模板要求输入，导入失败！", Caption::Tip);
    click(*s, CExamManager::Import);
    EXPECT_EQ(stored().size(), 11);
}

TEST_F(CExamManagerTest, TemplateAndRoutes)
{
    QString opened;
    ShellOpen::setHandler([&](const QString &p) { opened = p; });
    auto s = open();
    click(*s, CExamManager::ImportTemplate);
    ShellOpen::setHandler({});
    EXPECT_EQ(opened, QDir(workDir()).absoluteFilePath("examinee.xls"));
    EXPECT_TRUE(QFile::exists(opened));

    for (const auto &[id, target] : {std::pair{CExamManager::Exams, ScreenId::ExamManagement}, {CExamManager::Scores, ScreenId::CheckScore},
                                     {CExamManager::Back, ScreenId::Login}}) {
        auto screen = open();
        click(*screen, id);
        EXPECT_EQ(requestedScreen(), target) << id;
    }
    auto last = open();
    click(*last, CExamManager::Exit);
    EXPECT_TRUE(exited());
}
