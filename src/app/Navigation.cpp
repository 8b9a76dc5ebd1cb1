#include "app/Navigation.h"

#include "app/PlaceholderScreen.h"
#include "app/ScreenBase.h"
#include "app/SingleInstance.h"
#include "admin/CAdmin.h"
#include "admin/CCreateExam.h"
#include "admin/CExamManagement.h"
#include "admin/CExamManager.h"
#include "admin/CLogin.h"
#include "bank/CExamPaper.h"
#include "bank/CVariouSet.h"
#include "exam/CExamLogin.h"
#include "exam/CVornDlg.h"
#include "exam/ExamHandover.h"
#include "paper/CSetPaper.h"
#include "paper/CTestManage.h"
#include "results/CCheckScore.h"
#include "results/CHandworkCorrect.h"
#include "results/CScoreMap.h"
#include "store/CADOConn.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace Nav {

namespace {

std::optional<ScreenId> g_requested;
std::function<void()> g_exitHandler;
std::function<void()> g_shownHook;

struct ScreenInfo
{
    ScreenId id;
    const char *className;
    const char *caption;
};

const ScreenInfo kScreens[] = {
    {ScreenId::Login, "CLogin", "Lumet—登录Login"},
    {ScreenId::Admin, "CAdmin", "Lumet—系统管理员管理"},
    {ScreenId::ExamManager, "CExamManager", "Lumet—考试管理员管理"},
    {ScreenId::ExamManagement, "CExamManagement", "Lumet—考试管理"},
    {ScreenId::CreateExam, "CCreateExam", "Lumet—创建考试"},
    {ScreenId::CheckScore, "CCheckScore", "Lumet—成绩查询"},
    {ScreenId::HandworkCorrect, "CHandworkCorrect", "问答题手工批卷窗口"},
    {ScreenId::ScoreMap, "CScoreMap", "Lumet—成绩统计"},
    {ScreenId::ExamPaper, "CExamPaper", "Lumet—题库管理"},
    {ScreenId::VariouSet, "CVariouSet", "Lumet—各种设置"},
    {ScreenId::TestManage, "CTestManage", "Lumet—试卷管理"},
    {ScreenId::SetPaper, "CSetPaper", "Lumet—组卷"},
    {ScreenId::ExamLogin, "CExamLogin", "Lumet—考试登录"},
    {ScreenId::VornDlg, "CVornDlg", "Lumet"},
};

const ScreenInfo &infoOf(ScreenId id)
{
    for (const ScreenInfo &s : kScreens)
        if (s.id == id)
            return s;
    return kScreens[0];
}

} // namespace

const QList<Route> &routes()
{
    using S = ScreenId;
    static const QList<Route> table{
        {"CLogin", 1292, S::ExamManager},
        {"CLogin", 1201, S::Admin},
        {"CLogin", 1203, S::ExamLogin},
        {"CLogin", 1204, std::nullopt},
        {"CAdmin", 1054, S::ExamPaper},
        {"CAdmin", 1056, S::TestManage},
        {"CAdmin", 1058, S::ExamManagement},
        {"CAdmin", 1060, S::VariouSet},
        {"CAdmin", 1062, S::Login},
        {"CAdmin", 1064, std::nullopt},
        {"CExamManager", 1020, S::ExamManagement},
        {"CExamManager", 1022, S::CheckScore},
        {"CExamManager", 1011, S::Login},
        {"CExamManager", 1013, std::nullopt},
        {"CExamManagement", 1154, S::CreateExam},
        {"CExamManagement", 1174, S::ExamManager},
        {"CExamManagement", 1161, std::nullopt},
        {"CCreateExam", 1185, S::ExamManagement},
        {"CCreateExam", 1186, std::nullopt},
        {"CCheckScore", 1287, S::ScoreMap},
        {"CCheckScore", 1292, S::HandworkCorrect},
        {"CCheckScore", 1289, S::ExamManager},
        {"CCheckScore", 1291, std::nullopt},
        {"CHandworkCorrect", 1275, S::CheckScore},
        {"CHandworkCorrect", 1276, std::nullopt},
        {"CScoreMap", 32790, S::CheckScore},
        {"CExamPaper", 1071, S::VariouSet},
        {"CExamPaper", 1080, S::Admin},
        {"CExamPaper", 1081, std::nullopt},
        {"CVariouSet", 1249, S::ExamPaper},
        {"CVariouSet", 1093, S::Admin},
        {"CVariouSet", 1098, std::nullopt},
        {"CTestManage", 1099, S::SetPaper},
        {"CTestManage", 1244, S::Admin},
        {"CTestManage", 1247, std::nullopt},
        {"CSetPaper", 1132, S::TestManage},
        {"CExamLogin", 1162, S::VornDlg},
        {"CExamLogin", 1165, S::Login},
        {"CExamLogin", 1167, std::nullopt},
        {"CVornDlg", 1025, S::ExamLogin},
        {"CVornDlg", 1027, std::nullopt},
    };
    return table;
}

std::optional<Route> routeOf(const QString &screenClass, int control)
{
    for (const Route &r : routes())
        if (r.screenClass == screenClass && r.control == control)
            return r;
    return std::nullopt;
}

QString classOf(ScreenId id)
{
    return QString::fromUtf8(infoOf(id).className);
}

QString captionOf(ScreenId id)
{
    return QString::fromUtf8(infoOf(id).caption);
}

void switchScreen(ScreenBase *current, ScreenId next)
{
    g_requested = next;
    if (current)
        current->done(QDialog::Accepted);
}

void follow(ScreenBase *current, int control)
{
    const std::optional<Route> route = routeOf(current ? current->className() : QString(), control);
    if (!route)
        return;
    if (route->target)
        switchScreen(current, *route->target);
    else
        exitProgram(current);
}

void exitProgram(ScreenBase *current)
{
    if (current)
        current->stopTimer1();
    if (g_exitHandler) {
        g_exitHandler();
        return;
    }
    // Closing the files lets the engine remove its journal; every write is
    // already committed.
    CADOConn::releaseCachedHandles();
    SingleInstance::release();
    std::fflush(nullptr);
    std::_Exit(0);
}

ScreenBase *createScreen(ScreenId id)
{
    switch (id) {
    case ScreenId::Login:
        return new CLogin;
    case ScreenId::Admin:
        return new CAdmin;
    case ScreenId::ExamManager:
        return new CExamManager;
    case ScreenId::CreateExam:
        return new CCreateExam;
    case ScreenId::ExamManagement:
        return new CExamManagement;
    case ScreenId::ExamPaper:
        return new CExamPaper;
    case ScreenId::VariouSet:
        return new CVariouSet;
    case ScreenId::TestManage:
        return new CTestManage;
    case ScreenId::SetPaper:
        return new CSetPaper;
    case ScreenId::ExamLogin:
        return new CExamLogin;
    case ScreenId::VornDlg:
        return new CVornDlg(ExamHandoverSlot::take().value_or(ExamHandover{}));
    case ScreenId::CheckScore:
        return new CCheckScore;
    case ScreenId::HandworkCorrect:
        return new CHandworkCorrect;
    case ScreenId::ScoreMap:
        return new CScoreMap(ChartHandOver::take());
    default:
        return new PlaceholderScreen(id);
    }
}

int runScreenLoop(ScreenId first)
{
    std::optional<ScreenId> next = first;
    bool firstShown = false;
    // Screens nest in the described chain; of the screens left behind only
    // those that must live on are kept, the others go as the next comes.
    std::vector<std::unique_ptr<ScreenBase>> kept;
    while (next) {
        std::unique_ptr<ScreenBase> screen(createScreen(*next));
        g_requested.reset();
        if (!firstShown && g_shownHook) {
            firstShown = true;
            QTimer::singleShot(0, screen.get(), [] { g_shownHook(); });
        }
        screen->exec();
        // Closed by its frame: no next screen, the program ends.
        next = g_requested;
        g_requested.reset();
        if (screen->keptUntilExit())
            kept.push_back(std::move(screen));
    }
    return 0;
}

void setExitHandler(std::function<void()> handler)
{
    g_exitHandler = std::move(handler);
}

std::optional<ScreenId> takeRequestedScreen()
{
    std::optional<ScreenId> r = g_requested;
    g_requested.reset();
    return r;
}

void setShownHook(std::function<void()> hook)
{
    g_shownHook = std::move(hook);
}

} // namespace Nav
