// Sign-in on the start screen and the password commands of CAdmin, driven
// through the real widgets.
#include "admin/CAdmin.h"
#include "admin/CLogin.h"
#include "store/CADOConn.h"
#include "store/Integrity.h"
#include "support/Driving.h"
#include "support/VornTest.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

namespace {

const QString kAdminCol = QStringLiteral("系统管理员密码");
const QString kManagerCol = QStringLiteral("考试管理员密码");

class AdminSignInTest : public VornTest
{
protected:
    // Signs in on a fresh start screen; the screen it asked for, if any.
    std::optional<ScreenId> signIn(Account account, const QString &user, const QString &password)
    {
        CLogin login;
        login.show();
        const bool admin = account == Account::Admin;
        typeInto(login, admin ? CLogin::AdminName : CLogin::ManagerName, user);
        typeInto(login, admin ? CLogin::AdminPassword : CLogin::ManagerPassword, password);
        click(login, admin ? CLogin::AdminSignIn : CLogin::ManagerSignIn);
        return requestedScreen();
    }

    QStringList column(const QString &name)
    {
        QStringList values;
        for (const QStringList &row : outsiderRows(Db::Personnel, QStringLiteral("select %1 from LastPass order by rowid").arg(name)))
            values << row.at(0);
        return values;
    }
};

} // namespace

TEST_F(AdminSignInTest, InitialPasswordsReachTheHomeScreens)
{
    EXPECT_EQ(signIn(Account::Manager, "manager", "590372"), ScreenId::ExamManager);
    EXPECT_EQ(signIn(Account::Admin, "admin", "284615"), ScreenId::Admin);
}

TEST_F(AdminSignInTest, RefusesEmptyFieldsWrongNamesAndPasswords)
{
    expectBox("用户名或密码不能为空！", Caption::Default);
    EXPECT_EQ(signIn(Account::Manager, "manager", ""), std::nullopt);
    expectBox("用户名或密码不正确!", Caption::Tip);
    EXPECT_EQ(signIn(Account::Manager, "Manager", "590372"), std::nullopt);
    // Each half knows only its own account.
    expectBox("用户名或密码不正确!", Caption::Tip);
    EXPECT_EQ(signIn(Account::Admin, "manager", "590372"), std::nullopt);
    expectBox("用户名或密码不正确!", Caption::Tip);
    EXPECT_EQ(signIn(Account::Admin, "admin", "590372"), std::nullopt);
}

TEST_F(AdminSignInTest, TwoPasswordRowsAreDamagedDataBeforeAnyNameIsCompared)
{
    outsiderExec(Db::Personnel, "delete from LastPass where rowid=(select max(rowid) from LastPass)");
    expectBox("保存的密码数据已损坏！", Caption::Default);
    EXPECT_EQ(signIn(Account::Manager, "nobody", "x"), std::nullopt);
    expectBox("保存的密码数据已损坏！", Caption::Default);
    EXPECT_EQ(signIn(Account::Admin, "admin", "284615"), std::nullopt);
}

TEST_F(AdminSignInTest, ReplacedFirstRowPassesTheNameCheckButNotTheSaltedRows)
{
    outsiderExec(Db::Personnel,
                 "update LastPass set 考试管理员密码=? where rowid=(select min(rowid) from LastPass)",
                 {CMD5Encrypt("known")});
    expectBox("保存的密码数据已损坏！", Caption::Tip);
    EXPECT_EQ(signIn(Account::Manager, "manager", "known"), std::nullopt);
    expectBox("用户名或密码不正确!", Caption::Tip);
    EXPECT_EQ(signIn(Account::Manager, "manager", "590372"), std::nullopt);
    // The user name is compared before the salted rows.
    expectBox("用户名或密码不正确!", Caption::Tip);
    EXPECT_EQ(signIn(Account::Manager, "Manager", "known"), std::nullopt);
}

TEST_F(AdminSignInTest, DatabaseErrorFailsTheSignIn)
{
    outsiderExec(Db::Personnel, "drop table LastPass");
    expectBox("登录失败！", Caption::Tip);
    EXPECT_EQ(signIn(Account::Admin, "admin", "284615"), std::nullopt);
}

TEST_F(AdminSignInTest, BoxesShowTextInClearAndTakeNoSpaces)
{
    CLogin login;
    login.show();
    for (int id : {CLogin::ManagerName, CLogin::ManagerPassword, CLogin::AdminName, CLogin::AdminPassword}) {
        typeInto(login, id, "a b ");
        EXPECT_EQ(login.text(id), "ab") << id;
        EXPECT_EQ(login.control<QLineEdit>(id)->echoMode(), QLineEdit::Normal) << id;
    }
}

TEST_F(AdminSignInTest, ChangedPasswordSignsInAndTheOldOneNoLongerDoes)
{
    const QStringList adminBefore = column(kAdminCol);
    {
        CAdmin admin;
        admin.show();
        typeInto(admin, CAdmin::ManagerOldPassword, "590372");
        typeInto(admin, CAdmin::ManagerNewPassword, "n3w");
        expectBox("您确定要修改考试管理密码？", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
        expectBox("修改成功", Caption::Tip);
        click(admin, CAdmin::ChangeManagerPassword);
        EXPECT_EQ(admin.text(CAdmin::ManagerNewPassword), "n3w"); // the boxes keep their text
    }
    EXPECT_EQ(column(kManagerCol), passwordDigests(Account::Manager, "n3w"));
    EXPECT_EQ(column(kAdminCol), adminBefore);
    EXPECT_EQ(signIn(Account::Manager, "manager", "n3w"), ScreenId::ExamManager);
    expectBox("用户名或密码不正确!", Caption::Tip);
    EXPECT_EQ(signIn(Account::Manager, "manager", "590372"), std::nullopt);
}

TEST_F(AdminSignInTest, AdminChangeAsksUnderThePlainCaptionAndCanBeDeclined)
{
    CAdmin admin;
    admin.show();
    expectBox("密码不能为空！", Caption::Tip);
    click(admin, CAdmin::ChangeAdminPassword);
    typeInto(admin, CAdmin::AdminOldPassword, "wrong");
    typeInto(admin, CAdmin::AdminNewPassword, "abc");
    expectBox("原密码输入错误！", Caption::Tip);
    click(admin, CAdmin::ChangeAdminPassword);
    typeInto(admin, CAdmin::AdminOldPassword, "284615");
    expectBox("您确定要修改系统管理密码？", Caption::PlainRemind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(admin, CAdmin::ChangeAdminPassword);
    EXPECT_EQ(column(kAdminCol), passwordDigests(Account::Admin, "284615"));
    expectBox("您确定要修改系统管理密码？", Caption::PlainRemind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("修改成功", Caption::Tip);
    click(admin, CAdmin::ChangeAdminPassword);
    EXPECT_EQ(column(kAdminCol), passwordDigests(Account::Admin, "abc"));
    EXPECT_EQ(column(kManagerCol), passwordDigests(Account::Manager, "590372"));
}

TEST_F(AdminSignInTest, ResetRestoresOnlyTheAccountsInitialPassword)
{
    outsiderExec(Db::Personnel, "update LastPass set 考试管理员密码='x', 系统管理员密码=系统管理员密码||'y'");
    const QStringList adminBefore = column(kAdminCol);
    {
        CAdmin admin;
        admin.show();
        expectBox("您确定要恢复到初始密码？", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
        click(admin, CAdmin::ResetManagerPassword);
        EXPECT_EQ(column(kManagerCol), QStringList({"x", "x", "x"}));
        expectBox("您确定要恢复到初始密码？", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
        expectBox("恢复成功", Caption::Tip);
        click(admin, CAdmin::ResetManagerPassword);
    }
    EXPECT_EQ(column(kAdminCol), adminBefore);
    EXPECT_EQ(signIn(Account::Manager, "manager", "590372"), ScreenId::ExamManager);
}

TEST_F(AdminSignInTest, AFailedWriteLeavesTheOldDigestsWhole)
{
    // Only two rows: the third digest has nowhere to go.
    outsiderExec(Db::Personnel, "delete from LastPass where rowid=(select max(rowid) from LastPass)");
    const QStringList before = column(kAdminCol);
    CAdmin admin;
    admin.show();
    typeInto(admin, CAdmin::AdminOldPassword, "284615");
    typeInto(admin, CAdmin::AdminNewPassword, "abc");
    expectBox("您确定要修改系统管理密码？", Caption::PlainRemind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("修改失败！", Caption::Tip);
    click(admin, CAdmin::ChangeAdminPassword);
    EXPECT_EQ(column(kAdminCol), before);

    outsiderExec(Db::Personnel, "update LastPass set 系统管理员密码='x'");
    expectBox("您确定要恢复到初始密码？", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("恢复失败！", Caption::Tip);
    click(admin, CAdmin::ResetAdminPassword);
    EXPECT_EQ(column(kAdminCol), QStringList({"x", "x"}));
}

TEST_F(AdminSignInTest, ResetAsksFirstAndReportsABrokenTableAfterYes)
{
    outsiderExec(Db::Personnel, "alter table LastPass rename to LastPassOld");
    CAdmin admin;
    admin.show();
    expectBox("您确定要恢复到初始密码？", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    click(admin, CAdmin::ResetAdminPassword);
    expectBox("您确定要恢复到初始密码？", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("恢复失败！", Caption::Tip);
    click(admin, CAdmin::ResetManagerPassword);
    expectAllShown();
}

TEST_F(AdminSignInTest, NavigationButtonsFollowTheTable)
{
    const std::pair<int, ScreenId> routes[] = {{CAdmin::QuestionBank, ScreenId::ExamPaper}, {CAdmin::Papers, ScreenId::TestManage},
                                               {CAdmin::Exams, ScreenId::ExamManagement}, {CAdmin::Settings, ScreenId::VariouSet},
                                               {CAdmin::Back, ScreenId::Login}};
    for (const auto &[id, target] : routes) {
        CAdmin admin;
        admin.show();
        click(admin, id);
        EXPECT_EQ(requestedScreen(), target) << id;
    }
    CAdmin admin;
    admin.show();
    click(admin, CAdmin::Exit);
    EXPECT_TRUE(exited());
}
