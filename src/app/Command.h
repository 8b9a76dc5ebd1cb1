#pragma once
// The edge of every screen command: an unexpected database error is reported
// with the engine's text ("Vorn提示") and the screen stays as it was.
#include <functional>

class QWidget;

void runCommand(QWidget *screen, const std::function<void()> &body);
