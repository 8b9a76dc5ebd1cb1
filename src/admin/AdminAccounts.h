#pragma once
// The two administrator accounts: signing in against the digests of LastPass,
// changing and resetting a password. No widgets: the screens turn outcomes
// into messages.
#include "store/Integrity.h"

#include <QString>

#include <functional>

namespace AdminAccounts {

// The user name typed on the start screen ("admin" / "manager"), compared exactly.
QString userName(Account account);
// The LastPass column holding the account's three digests.
QString digestColumn(Account account);

enum class SignIn {
    Ok,
    EmptyFields,      // user name or password empty
    TooFewRows,       // LastPass holds fewer than three rows
    WrongCredentials, // user name or row 1
    DamagedDigests,   // rows 2 or 3
    Failed,           // database error
};
SignIn signIn(Account account, const QString &user, const QString &password);

enum class Change {
    Ok,
    EmptyFields,
    WrongOldPassword,
    Declined, // the confirmation was answered No
    Failed,   // database error; nothing was written
};
// confirm is asked after the old password matched; the three digests are
// written together or not at all.
Change changePassword(Account account, const QString &oldPassword, const QString &newPassword,
                      const std::function<bool()> &confirm);

enum class Reset { Ok, Declined, Failed };
Reset resetPassword(Account account, const std::function<bool()> &confirm);

} // namespace AdminAccounts
