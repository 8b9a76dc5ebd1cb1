#pragma once
// The table of routes: which control of which screen leads to which screen,
// or out of the program. It lives with the program because only the program
// sees every screen class, so each route names its control by the screen's
// own enum; the framework below follows the table the program sets.
#include "app/Navigation.h"

namespace Routes {

const QList<Nav::Route> &table();

// Hands the table to the navigation (the screen loop does, as do tests that
// drive screens without it).
void install();

} // namespace Routes
