#include "admin/CAdmin.h"

#include "admin/AdminAccounts.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"

CAdmin::CAdmin(QWidget *parent)
    : ScreenBase(106, KeyFilterMode::All, parent)
{
    onClick(ChangeAdminPassword, [this] { changePassword(Account::Admin); });
    onClick(ResetAdminPassword, [this] { resetPassword(Account::Admin); });
    onClick(ChangeManagerPassword, [this] { changePassword(Account::Manager); });
    onClick(ResetManagerPassword, [this] { resetPassword(Account::Manager); });
    for (int id : {QuestionBank, Papers, Exams, Settings, Back, Exit})
        onClick(id, [this, id] { Nav::follow(this, id); });
}

void CAdmin::changePassword(Account account)
{
    const bool admin = account == Account::Admin;
    const QString oldPassword = text(admin ? AdminOldPassword : ManagerOldPassword);
    const QString newPassword = text(admin ? AdminNewPassword : ManagerNewPassword);
    const auto confirm = [this, admin] {
        return admin ? MessageBox::confirm(this, QStringLiteral("您确定要修改系统管理密码？"), Caption::PlainRemind)
                     : MessageBox::confirm(this, QStringLiteral("您确定要修改考试管理密码？"), Caption::Remind);
    };

    using AdminAccounts::Change;
    switch (AdminAccounts::changePassword(account, oldPassword, newPassword, confirm)) {
    case Change::Ok:
        MessageBox::tip(this, QStringLiteral("修改成功"));
        return;
    case Change::EmptyFields:
        MessageBox::tip(this, QStringLiteral("密码不能为空！"));
        return;
    case Change::WrongOldPassword:
        MessageBox::tip(this, QStringLiteral("原密码输入错误！"));
        return;
    case Change::Declined:
        return;
    case Change::Failed:
        MessageBox::tip(this, QStringLiteral("修改失败！"));
        return;
    }
}

void CAdmin::resetPassword(Account account)
{
    const auto confirm = [this] { return MessageBox::confirm(this, QStringLiteral("您确定要恢复到初始密码？")); };

    using AdminAccounts::Reset;
    switch (AdminAccounts::resetPassword(account, confirm)) {
    case Reset::Ok:
        MessageBox::tip(this, QStringLiteral("恢复成功"));
        return;
    case Reset::Declined:
        return;
    case Reset::Failed:
        MessageBox::tip(this, QStringLiteral("恢复失败！"));
        return;
    }
}
