#pragma once
// The edge of every screen command: an unexpected database error is reported
// with its likely cause and the engine's text (Db::explain, "Vorn提示") and
// the screen stays as it was.
#include <functional>

class QWidget;

void runCommand(QWidget *screen, const std::function<void()> &body);
