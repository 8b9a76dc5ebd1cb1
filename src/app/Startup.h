#pragma once
// What start-up checks before the start screen shows: the working directory
// is this copy's alone, and both database files open. Each failure is shown
// (through MessageBox) and the program is to end.
namespace Startup {
bool prepareWorkingDirectory();
} // namespace Startup
