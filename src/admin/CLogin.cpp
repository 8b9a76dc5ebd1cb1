#include "admin/CLogin.h"

#include "admin/AdminAccounts.h"
#include "admin/ExamineeEntry.h"
#include "app/Command.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "store/Clock.h"

CLogin::CLogin(QWidget *parent)
    : ScreenBase(104, KeyFilterMode::All, parent)
{
    onClick(ManagerSignIn, [this] { signIn(Account::Manager); });
    onClick(AdminSignIn, [this] { signIn(Account::Admin); });
    onClick(TakeExam, [this] { enterAsExaminee(); });
    onClick(Exit, [this] { Nav::follow(this, Exit); });
}

void CLogin::signIn(Account account)
{
    const bool admin = account == Account::Admin;
    const QString user = text(admin ? AdminName : ManagerName);
    const QString password = text(admin ? AdminPassword : ManagerPassword);

    using AdminAccounts::SignIn;
    switch (AdminAccounts::signIn(account, user, password)) {
    case SignIn::Ok:
        Nav::follow(this, admin ? AdminSignIn : ManagerSignIn);
        return;
    case SignIn::EmptyFields:
        MessageBox::plain(this, QStringLiteral("用户名或密码不能为空！"));
        return;
    case SignIn::TooFewRows:
        MessageBox::plain(this, QStringLiteral("保存的密码数据已损坏！"));
        return;
    case SignIn::WrongCredentials:
        MessageBox::tip(this, QStringLiteral("用户名或密码不正确!"));
        return;
    case SignIn::DamagedDigests:
        MessageBox::tip(this, QStringLiteral("保存的密码数据已损坏！"));
        return;
    case SignIn::Failed:
        MessageBox::tip(this, QStringLiteral("登录失败！"));
        return;
    }
}

void CLogin::enterAsExaminee()
{
    runCommand(this, [this] {
        using ExamineeEntry::Outcome;
        switch (ExamineeEntry::check(Clock::now()).outcome) {
        case Outcome::Ready:
            Nav::follow(this, TakeExam);
            return;
        case Outcome::NoConnection:
            return;
        case Outcome::NoExam:
            MessageBox::warn(this, QStringLiteral("考试信息为空,无法进行考试！"));
            return;
        case Outcome::ExamTampered:
            MessageBox::warn(this, QStringLiteral("考试信息已被篡改,无法进行考试！"));
            Nav::exitProgram(this);
            return;
        case Outcome::RegistrationsMissing:
        case Outcome::RegistrationTampered:
            MessageBox::warn(this, QStringLiteral("数据库已被篡改,无法进行考试！"));
            Nav::exitProgram(this);
            return;
        }
    });
}
