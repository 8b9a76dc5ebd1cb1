#pragma once
// The system administrator's home screen: both administrator passwords, and
// the way to the bank, papers, exams and settings.
#include "app/ScreenBase.h"
#include "store/Integrity.h"

class CAdmin : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 106.
    enum Ids : int {
        AdminOldPassword = 1037,
        AdminNewPassword = 1034,
        ChangeAdminPassword = 1046,
        ResetAdminPassword = 1048,
        ManagerOldPassword = 1040,
        ManagerNewPassword = 1043,
        ChangeManagerPassword = 1050,
        ResetManagerPassword = 1052,
        QuestionBank = 1054,
        Papers = 1056,
        Exams = 1058,
        Settings = 1060, // 岗位设置
        Back = 1062,
        Exit = 1064,
    };

    explicit CAdmin(QWidget *parent = nullptr);

private:
    void changePassword(Account account);
    void resetPassword(Account account);
};
