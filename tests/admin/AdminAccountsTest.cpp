// The account rules without a screen: when the confirmation is asked, and
// what each outcome leaves in LastPass.
#include "admin/AdminAccounts.h"
#include "store/CADOConn.h"
#include "support/VornTest.h"

using namespace AdminAccounts;

class AdminAccountsTest : public VornTest
{
protected:
    QStringList column(Account account)
    {
        QStringList values;
        for (const QStringList &row : outsiderRows(
                 Db::Personnel, QStringLiteral("select %1 from LastPass order by rowid").arg(digestColumn(account))))
            values << row.at(0);
        return values;
    }
};

TEST_F(AdminAccountsTest, ConfirmationComesOnlyAfterTheOldPasswordMatched)
{
    int asked = 0;
    const auto yes = [&] { ++asked; return true; };
    EXPECT_EQ(changePassword(Account::Admin, "", "x", yes), Change::EmptyFields);
    EXPECT_EQ(changePassword(Account::Admin, "590372", "x", yes), Change::WrongOldPassword);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(changePassword(Account::Admin, "284615", "x", [&] { ++asked; return false; }), Change::Declined);
    EXPECT_EQ(column(Account::Admin), passwordDigests(Account::Admin, "284615"));
    EXPECT_EQ(changePassword(Account::Admin, "284615", "x", yes), Change::Ok);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(signIn(Account::Admin, "admin", "x"), SignIn::Ok);
    EXPECT_EQ(signIn(Account::Admin, "admin", "284615"), SignIn::WrongCredentials);
}

TEST_F(AdminAccountsTest, SaltsAreAppliedPerAccount)
{
    // A manager triple stored in the admin column passes row 1 but not the salted rows.
    const QStringList manager = passwordDigests(Account::Manager, "abc");
    for (int i = 0; i < 3; ++i)
        outsiderExec(Db::Personnel,
                     "update LastPass set 系统管理员密码=? where rowid=(select rowid from LastPass order by rowid limit 1 offset ?)",
                     {manager.at(i), i});
    EXPECT_EQ(signIn(Account::Admin, "admin", "abc"), SignIn::DamagedDigests);
    EXPECT_EQ(resetPassword(Account::Admin, [] { return true; }), Reset::Ok);
    EXPECT_EQ(signIn(Account::Admin, "admin", "284615"), SignIn::Ok);
}

TEST_F(AdminAccountsTest, NullCellsFailTheirComparison)
{
    outsiderExec(Db::Personnel, "update LastPass set 考试管理员密码=null");
    EXPECT_EQ(signIn(Account::Manager, "manager", "590372"), SignIn::WrongCredentials);
    EXPECT_EQ(changePassword(Account::Manager, "590372", "y", [] { return true; }), Change::WrongOldPassword);
}
