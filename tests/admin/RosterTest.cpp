// The roster records: query rules, adding, deleting, and the examinee.xls
// import with its refusals.
#include "admin/Roster.h"
#include "store/XlsReader.h"
#include "store/CADOConn.h"
#include "store/SettingsFile.h"

#include "AdminScreens.h"
#include "support/VornTest.h"

#include <QFile>

namespace {

class RosterTest : public VornTest
{
protected:
    QStringList stored()
    {
        QStringList rows;
        for (const QStringList &r : outsiderRows(Db::Personnel, "select 姓名,部门,职务 from examinee order by ID"))
            rows << r.join(QLatin1Char(' '));
        return rows;
    }

    static QStringList names(const QList<RosterPerson> &rows)
    {
        QStringList n;
        for (const RosterPerson &p : rows)
            n << p.name;
        return n;
    }

    RosterImportResult import(const QString &fixture)
    {
        XlsWorkbook book;
        EXPECT_TRUE(book.open(adminFixture(fixture))) << book.error().toStdString();
        return RosterImport::run(book);
    }
};

} // namespace

TEST_F(RosterTest, AddRefusesIncompleteSemicolonAndRepeatedPeopleAndAcceptsQuotes)
{
    using Roster::Add;
    EXPECT_EQ(Roster::add("张三", "财务部", ""), Add::EmptyField);
    EXPECT_EQ(Roster::add("", "财务部", "会计"), Add::EmptyField);
    EXPECT_EQ(Roster::add("张;三", "财务部", "会计"), Add::Semicolon);
    EXPECT_EQ(Roster::add("张三", "财务部", "会计"), Add::Added);
    EXPECT_EQ(Roster::add("张三", "财务部", "会计"), Add::Exists);
    EXPECT_EQ(Roster::add("张三", "财务部", "出纳"), Add::Added);
    EXPECT_EQ(Roster::add("O'Brien", "技术部", "工程师"), Add::Added);
    EXPECT_EQ(Roster::add("O'Brien", "技术部", "工程师"), Add::Exists);
    EXPECT_EQ(stored(), (QStringList{"张三 财务部 会计", "张三 财务部 出纳", "O'Brien 技术部 工程师"}));
    EXPECT_EQ(Roster::count(), 3);
}

TEST_F(RosterTest, QueryUsesTheFilledFieldsOnly)
{
    for (const auto &[n, d, p] : {std::tuple{"张三", "财务部", "会计"}, {"李四", "财务部", "出纳"},
                                  {"张三", "人事部", "主管"}, {"O'Brien", "技术部", "主管"}})
        ASSERT_EQ(Roster::add(n, d, p), Roster::Add::Added);

    QList<RosterPerson> rows;
    EXPECT_EQ(Roster::query("", "", "", &rows), Roster::Query::NoCondition);
    EXPECT_EQ(Roster::query("", "财务部", "", &rows), Roster::Query::Found);
    EXPECT_EQ(names(rows), (QStringList{"张三", "李四"}));
    EXPECT_EQ(Roster::query("张三", "", "", &rows), Roster::Query::Found);
    EXPECT_EQ(rows.size(), 2);
    EXPECT_EQ(Roster::query("张三", "人事部", "", &rows), Roster::Query::Found);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].post, "主管");
    EXPECT_EQ(Roster::query("", "财务部", "出纳", &rows), Roster::Query::Found);
    EXPECT_EQ(names(rows), QStringList{"李四"});
    EXPECT_EQ(Roster::query("O'Brien", "", "主管", &rows), Roster::Query::Found);
    EXPECT_EQ(names(rows), QStringList{"O'Brien"});
    rows.clear();
    EXPECT_EQ(Roster::query("王五", "财务部", "", &rows), Roster::Query::NoMatch);
    EXPECT_TRUE(rows.isEmpty());

    Roster::remove(Roster::all().at(1).id);
    EXPECT_EQ(stored(), (QStringList{"张三 财务部 会计", "张三 人事部 主管", "O'Brien 技术部 主管"}));
    EXPECT_TRUE(Roster::removeAll());
    EXPECT_FALSE(Roster::removeAll());
    EXPECT_EQ(Roster::count(), 0);
}

TEST_F(RosterTest, ImportAddsCompleteRowsAndRemovesPeopleAlreadyOnTheRoster)
{
    writeDepartments();
    for (const auto &[n, d, p] : {std::tuple{"张三", "财务部", "会计"}, {"周九", "技术部", "主管"},
                                  {"O'Brien", "技术部", "工程师"}, {"外人", "财务部", "会计"}})
        ASSERT_EQ(Roster::add(n, d, p), Roster::Add::Added);
    const QList<QStringList> before = outsiderRows(Db::Personnel, "select ID from examinee order by ID");

    const RosterImportResult r = import("examinee.xls");
    EXPECT_EQ(r.status, RosterImportResult::Done);
    EXPECT_EQ(r.counted, 10); // three incomplete rows are skipped
    EXPECT_EQ(r.removed, 3);
    EXPECT_EQ(r.message(), "导入数据10条，已删除3条重复数据！\n另有3行的姓名、部门或职务为空，未导入。");
    EXPECT_EQ(Roster::count(), 4 + 7);
    // The people already there keep their oldest rows.
    EXPECT_EQ(outsiderRows(Db::Personnel, "select ID from examinee order by ID").mid(0, 4), before);
    EXPECT_EQ(stored().mid(4), (QStringList{"李四 财务部 出纳", "王五 人事部 主管", "赵六 人事部 专员",
                                            "钱七 技术部 工程师", "孙八 技术部 工程师", "吴十 财务部 会计",
                                            "郑一 人事部 专员"}));
}

// People whose department, or post within it, the settings do not know are
// imported but cannot be chosen anywhere: the report names them.
TEST_F(RosterTest, ImportNamesDepartmentsAndPostsTheSettingsDoNotKnow)
{
    ASSERT_TRUE(SettingsFile().writeDepartmentTree({{QStringLiteral("财务部"), {QStringLiteral("会计")}},
                                                    {QStringLiteral("人事部"), {QStringLiteral("主管"), QStringLiteral("专员")}}}));
    const RosterImportResult r = import("examinee.xls");
    EXPECT_EQ(r.status, RosterImportResult::Done);
    EXPECT_EQ(Roster::count(), 10);
    EXPECT_EQ(r.message(), "导入数据10条，已删除0条重复数据！\n另有3行的姓名、部门或职务为空，未导入。"
                           "\n其中5条考生的部门或职务不在岗位设置中，创建考试时无法选到："
                           "\n部门：技术部\n职务：财务部/出纳、技术部/工程师、技术部/主管\n请在岗位设置中添加。");
}

TEST_F(RosterTest, SheetsNotMadeAfterTheTemplateAreRefusedAndChangeNothing)
{
    ASSERT_EQ(Roster::add("张三", "财务部", "会计"), Roster::Add::Added);
    EXPECT_EQ(import("swapped/examinee.xls").status, RosterImportResult::BadHeader);
    EXPECT_EQ(import("fourcolumns/examinee.xls").message(), "Excel考生表没有按照模板要求输入，导入失败！");
    EXPECT_EQ(import("norows/examinee.xls").message(), "导入表格无数据！");
    const RosterImportResult tooLong = import("longname/examinee.xls");
    EXPECT_EQ(tooLong.status, RosterImportResult::TooLong);
    EXPECT_EQ(tooLong.message(), "Excel考生表第3行有超过255个字符的内容，导入失败！");
    EXPECT_EQ(stored(), QStringList{"张三 财务部 会计"});

    // A workbook without Sheet1 fails the header check as well.
    XlsWorkbook other;
    ASSERT_TRUE(other.open(QStringLiteral(VORN_SOURCE_DIR "/tests/bank/fixtures/othersheet.xls")));
    EXPECT_EQ(RosterImport::run(other).status, RosterImportResult::BadHeader);

    XlsWorkbook text;
    EXPECT_FALSE(text.open(adminFixture("text/examinee.xls")));
    EXPECT_EQ(text.error(), "不是Excel 97-2003格式的文件");
}

TEST_F(RosterTest, ASemicolonStopsTheImportAndKeepsTheRowsBeforeItWithoutDuplicateRemoval)
{
    // A duplicate pair already on the roster shows that no removal ran.
    outsiderExec(Db::Personnel, "insert into examinee (姓名,部门,职务) values ('双','财务部','会计'),('双','财务部','会计')");
    const RosterImportResult r = import("semicolon/examinee.xls");
    EXPECT_EQ(r.status, RosterImportResult::SemicolonName);
    EXPECT_EQ(r.stored, 4);
    EXPECT_EQ(r.message(), "考生姓名中不能含有';'！");
    EXPECT_EQ(stored(), (QStringList{"双 财务部 会计", "双 财务部 会计", "人1 财务部 会计", "人2 财务部 会计",
                                     "人3 财务部 会计", "人4 财务部 会计"}));
}

TEST_F(RosterTest, AnUnreadableSheetIsReportedWithTheReadersReason)
{
    const QString copy = path("examinee.xls");
    QFile::remove(copy);
    ASSERT_TRUE(QFile::copy(adminFixture("examinee.xls"), copy));
    ASSERT_TRUE(QFile::setPermissions(copy, QFile::Permissions()));
    EXPECT_TRUE(asUnprivileged([&] {
        XlsWorkbook book;
        return !book.open(copy) && book.error() == QStringLiteral("文件不存在或无法读取");
    }));
}
