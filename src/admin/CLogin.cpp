#include "admin/CLogin.h"

#include "app/Navigation.h"

CLogin::CLogin(QWidget *parent)
    : ScreenBase(104, KeyFilterMode::All, parent)
{
    onClick(1204, [this] { Nav::exitProgram(this); });
}
