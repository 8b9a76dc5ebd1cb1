#pragma once
// The program's screen loop: the one place that knows every screen class and
// makes each screen from the request of the command before it.
#include "app/Navigation.h"

#include <any>
#include <functional>

class ScreenBase;

namespace ScreenLoop {

// Makes the screen, with what the screen before it handed over.
ScreenBase *createScreen(ScreenId id, const std::any &handover = {});

// Runs the screen loop from the first screen; returns the exit code.
int run(ScreenId first, std::any handover = {});

// Called once the first screen has been painted (start-up timing).
void setShownHook(std::function<void()> hook);

} // namespace ScreenLoop
