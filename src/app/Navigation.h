#pragma once
// How one full screen replaces another, and the shared exit.
//
// A screen loop shows one full screen at a time: switchScreen names the next
// screen and closes the current one; closing a full screen by its frame ends
// the program. The navigation table lives in Navigation.cpp.
#include <QString>

#include <functional>
#include <optional>

class ScreenBase;

enum class ScreenId {
    Login,
    Admin,
    ExamManager,
    ExamManagement,
    CreateExam,
    CheckScore,
    HandworkCorrect,
    ScoreMap,
    ExamPaper,
    VariouSet,
    TestManage,
    SetPaper,
    ExamLogin,
    VornDlg,
};

namespace Nav {

// Where a control of a screen leads: a screen, or the exit.
struct Route
{
    QString screenClass;
    int control = 0;
    std::optional<ScreenId> target; // none = exitProgram
};

// The complete table of commands that leave a screen.
const QList<Route> &routes();
std::optional<Route> routeOf(const QString &screenClass, int control);

// Class name ("CAdmin") and caption of a screen.
QString classOf(ScreenId id);
QString captionOf(ScreenId id);

// Closes current as confirmed and shows next when the current command returns.
void switchScreen(ScreenBase *current, ScreenId next);
// Follows the route of a control in the table.
void follow(ScreenBase *current, int control);

// Stops timer 1 of current and ends the process with code 0. Callers return
// right after it (it returns only under a test's handler).
void exitProgram(ScreenBase *current);

// Runs the screen loop from the first screen; returns the exit code.
int runScreenLoop(ScreenId first);

// Makes a screen; screens not built yet are placeholders with their caption.
ScreenBase *createScreen(ScreenId id);

// Test seams.
void setExitHandler(std::function<void()> handler);
std::optional<ScreenId> takeRequestedScreen();
// Called once the first screen has been painted (start-up timing).
void setShownHook(std::function<void()> hook);

} // namespace Nav
