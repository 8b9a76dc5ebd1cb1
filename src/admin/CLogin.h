#pragma once
// The start screen: sign-in of both administrators and the examinee entry.
#include "app/ScreenBase.h"

class CLogin : public ScreenBase
{
    Q_OBJECT
public:
    explicit CLogin(QWidget *parent = nullptr);
};
