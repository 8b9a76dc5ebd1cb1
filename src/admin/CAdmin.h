#pragma once
// The system administrator's home screen: both administrator passwords, and
// the way to the bank, papers, exams and settings.
#include "app/ScreenBase.h"
#include "store/Integrity.h"

class CAdmin : public ScreenBase
{
    Q_OBJECT
public:
    explicit CAdmin(QWidget *parent = nullptr);

private:
    void changePassword(Account account);
    void resetPassword(Account account);
};
