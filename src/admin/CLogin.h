#pragma once
// The start screen: sign-in of both administrators and the examinee entry.
#include "app/ScreenBase.h"
#include "store/Integrity.h"

class CLogin : public ScreenBase
{
    Q_OBJECT
public:
    explicit CLogin(QWidget *parent = nullptr);

private:
    void signIn(Account account);
    void enterAsExaminee();
};
