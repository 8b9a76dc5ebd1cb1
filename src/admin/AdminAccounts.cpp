#include "admin/AdminAccounts.h"

#include "store/CADOConn.h"

namespace AdminAccounts {

namespace {

const QString kSelect = QStringLiteral("select * from LastPass");

// Rows 1, 2, 3 of the account's column get the three digests, in one
// transaction so a failure leaves the old password whole.
void writeDigests(CADOConn &conn, CRecordset &rs, Account account, const QStringList &digests)
{
    const QString column = digestColumn(account);
    DbTransaction tx(conn, Db::Personnel);
    rs.moveFirst();
    rs.put(column, digests.at(0));
    rs.moveNext();
    rs.put(column, digests.at(1));
    rs.moveNext();
    rs.put(column, digests.at(2));
    rs.update();
    tx.commit();
}

} // namespace

QString userName(Account account)
{
    return account == Account::Admin ? QStringLiteral("admin") : QStringLiteral("manager");
}

QString digestColumn(Account account)
{
    return account == Account::Admin ? QStringLiteral("系统管理员密码") : QStringLiteral("考试管理员密码");
}

SignIn signIn(Account account, const QString &user, const QString &password)
{
    if (user.isEmpty() || password.isEmpty())
        return SignIn::EmptyFields;
    const QStringList digests = passwordDigests(account, password);
    try {
        CADOConn conn;
        RecordsetPtr rs = conn.openRecordset(kSelect, Db::Personnel);
        if (rs->recordCount() < 3)
            return SignIn::TooFewRows;
        const QString column = digestColumn(account);
        rs->moveFirst();
        const QString row1 = rs->getString(column);
        rs->moveNext();
        const QString row2 = rs->getString(column);
        rs->moveNext();
        const QString row3 = rs->getString(column);
        if (user != userName(account) || row1 != digests.at(0))
            return SignIn::WrongCredentials;
        if (row2 != digests.at(1) || row3 != digests.at(2))
            return SignIn::DamagedDigests;
        return SignIn::Ok;
    } catch (const DbError &) {
        return SignIn::Failed;
    }
}

Change changePassword(Account account, const QString &oldPassword, const QString &newPassword,
                      const std::function<bool()> &confirm)
{
    if (oldPassword.isEmpty() || newPassword.isEmpty())
        return Change::EmptyFields;
    const QString oldDigest = CMD5Encrypt(oldPassword);
    const QStringList digests = passwordDigests(account, newPassword);
    try {
        CADOConn conn;
        RecordsetPtr rs = conn.openRecordset(kSelect, Db::Personnel);
        rs->moveFirst();
        // Only row 1 proves the old password.
        if (rs->getString(digestColumn(account)) != oldDigest)
            return Change::WrongOldPassword;
        if (!confirm())
            return Change::Declined;
        writeDigests(conn, *rs, account, digests);
        return Change::Ok;
    } catch (const DbError &) {
        return Change::Failed;
    }
}

Reset resetPassword(Account account, const std::function<bool()> &confirm)
{
    const QStringList digests = passwordDigests(account, initialPassword(account));
    try {
        CADOConn conn;
        RecordsetPtr rs = conn.openRecordset(kSelect, Db::Personnel);
        // The question comes first; a selection that could not be opened
        // fails at the write after Yes, with nothing written.
        if (!confirm())
            return Reset::Declined;
        writeDigests(conn, *rs, account, digests);
        return Reset::Ok;
    } catch (const DbError &) {
        return Reset::Failed;
    }
}

} // namespace AdminAccounts
