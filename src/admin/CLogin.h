#pragma once
// The start screen: sign-in of both administrators and the examinee entry.
#include "app/ScreenBase.h"
#include "store/Integrity.h"

class CLogin : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 104.
    enum Ids : int {
        ManagerName = 1284,
        ManagerPassword = 1286,
        AdminName = 1288,
        AdminPassword = 1290,
        ManagerSignIn = 1292,
        AdminSignIn = 1201,
        TakeExam = 1203, // 我要考试
        Exit = 1204,
        HiddenButton = 1206, // never shown
    };

    explicit CLogin(QWidget *parent = nullptr);

private:
    void signIn(Account account);
    void enterAsExaminee();
};
