#include "app/Navigation.h"

#include "app/ScreenBase.h"
#include "app/SingleInstance.h"
#include "store/CADOConn.h"


#include <cstdio>
#include <cstdlib>

namespace Nav {

namespace {

std::optional<Request> g_requested;
std::function<void()> g_exitHandler;
QList<Route> g_routes;

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
    {ScreenId::ItemAnalysis, "CItemAnalysis", "Lumet—试题分析"},
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
    return g_routes;
}

void setRoutes(QList<Route> table)
{
    g_routes = std::move(table);
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

void switchScreen(ScreenBase *current, ScreenId next, std::any handover)
{
    g_requested = Request{next, std::move(handover)};
    if (current)
        current->done(QDialog::Accepted);
}

void follow(ScreenBase *current, int control, std::any handover)
{
    const std::optional<Route> route = routeOf(current ? current->className() : QString(), control);
    if (!route)
        return;
    if (route->target)
        switchScreen(current, *route->target, std::move(handover));
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

void setExitHandler(std::function<void()> handler)
{
    g_exitHandler = std::move(handler);
}

std::optional<Request> takeRequest()
{
    std::optional<Request> r = std::move(g_requested);
    g_requested.reset();
    return r;
}

std::optional<ScreenId> takeRequestedScreen()
{
    const std::optional<Request> r = takeRequest();
    return r ? std::optional<ScreenId>(r->next) : std::nullopt;
}

} // namespace Nav
