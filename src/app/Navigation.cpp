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
