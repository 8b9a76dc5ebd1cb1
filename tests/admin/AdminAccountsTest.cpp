// The account rules without a screen: the salts of each account and cells
// that hold no digest.
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
