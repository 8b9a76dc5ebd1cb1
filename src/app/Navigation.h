#pragma once
// How one full screen replaces another, and the shared exit.
//
// A screen loop shows one full screen at a time: switchScreen names the next
// screen, with what it hands over, and closes the current one; closing a full
// screen by its frame ends the program. The table of routes and the screen
// loop are the program's (app/program/Routes.h, ScreenLoop.h): only the
// program knows every screen class, and so every screen's named controls.
#include <QString>

#include <any>
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
    ItemAnalysis,
};

namespace Nav {

// Where a control of a screen leads: a screen, or the exit.
struct Route
{
    QString screenClass;
    int control = 0;
    std::optional<ScreenId> target; // none = exitProgram
};

// The complete table of commands that leave a screen, as the program set it.
const QList<Route> &routes();
void setRoutes(QList<Route> table);
std::optional<Route> routeOf(const QString &screenClass, int control);

// Class name ("CAdmin") and caption of a screen.
QString classOf(ScreenId id);
QString captionOf(ScreenId id);

// The next screen a command asked for, with what it hands over: the exam
// (ExamHandover) to the exam window, the rows (ChartSelection) to the chart.
struct Request
{
    ScreenId next;
    std::any handover;
};

// Closes current as confirmed and shows next when the current command returns.
// Screens do not call it: they follow their routes.
void switchScreen(ScreenBase *current, ScreenId next, std::any handover = {});
// Follows the route of a control in the table.
void follow(ScreenBase *current, int control, std::any handover = {});

// Stops timer 1 of current and ends the process with code 0. Callers return
// right after it (it returns only under a test's handler).
void exitProgram(ScreenBase *current);

// The request of the command that just ran, once (the screen loop takes it).
std::optional<Request> takeRequest();
std::optional<ScreenId> takeRequestedScreen();

// Test seam: replaces the ending of the process.
void setExitHandler(std::function<void()> handler);

} // namespace Nav
