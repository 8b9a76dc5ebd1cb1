#include "app/program/Routes.h"

#include "admin/CAdmin.h"
#include "admin/CCreateExam.h"
#include "admin/CExamManagement.h"
#include "admin/CExamManager.h"
#include "admin/CLogin.h"
#include "bank/CExamPaper.h"
#include "bank/CVariouSet.h"
#include "exam/CExamLogin.h"
#include "exam/CVornDlg.h"
#include "paper/CSetPaper.h"
#include "paper/CTestManage.h"
#include "results/CCheckScore.h"
#include "results/CHandworkCorrect.h"
#include "results/CItemAnalysis.h"
#include "results/CScoreMap.h"

namespace Routes {

namespace {

// A route from a control of Screen; the class name is the one the screen's
// template and className() carry.
template<typename Screen>
Nav::Route from(int control, std::optional<ScreenId> target)
{
    return {QString::fromLatin1(Screen::staticMetaObject.className()), control, target};
}

const std::optional<ScreenId> kExit;

} // namespace

const QList<Nav::Route> &table()
{
    using S = ScreenId;
    static const QList<Nav::Route> routes{
        from<CLogin>(CLogin::ManagerSignIn, S::ExamManager),
        from<CLogin>(CLogin::AdminSignIn, S::Admin),
        from<CLogin>(CLogin::TakeExam, S::ExamLogin),
        from<CLogin>(CLogin::Exit, kExit),
        from<CAdmin>(CAdmin::QuestionBank, S::ExamPaper),
        from<CAdmin>(CAdmin::Papers, S::TestManage),
        from<CAdmin>(CAdmin::Exams, S::ExamManagement),
        from<CAdmin>(CAdmin::Settings, S::VariouSet),
        from<CAdmin>(CAdmin::Back, S::Login),
        from<CAdmin>(CAdmin::Exit, kExit),
        from<CExamManager>(CExamManager::Exams, S::ExamManagement),
        from<CExamManager>(CExamManager::Scores, S::CheckScore),
        from<CExamManager>(CExamManager::Back, S::Login),
        from<CExamManager>(CExamManager::Exit, kExit),
        from<CExamManagement>(CExamManagement::CreateExam, S::CreateExam),
        from<CExamManagement>(CExamManagement::Back, S::ExamManager),
        from<CExamManagement>(CExamManagement::Exit, kExit),
        from<CCreateExam>(CCreateExam::Back, S::ExamManagement),
        from<CCreateExam>(CCreateExam::Exit, kExit),
        from<CCheckScore>(CCheckScore::Export, S::ScoreMap),
        from<CCheckScore>(CCheckScore::Marking, S::HandworkCorrect),
        from<CCheckScore>(CCheckScore::ItemAnalysis, S::ItemAnalysis),
        from<CCheckScore>(CCheckScore::Back, S::ExamManager),
        from<CCheckScore>(CCheckScore::Exit, kExit),
        from<CHandworkCorrect>(CHandworkCorrect::Back, S::CheckScore),
        from<CHandworkCorrect>(CHandworkCorrect::Exit, kExit),
        from<CScoreMap>(CScoreMap::Return, S::CheckScore),
        from<CItemAnalysis>(CItemAnalysis::Back, S::CheckScore),
        from<CItemAnalysis>(CItemAnalysis::Exit, kExit),
        from<CExamPaper>(CExamPaper::Settings, S::VariouSet),
        from<CExamPaper>(CExamPaper::Back, S::Admin),
        from<CExamPaper>(CExamPaper::Exit, kExit),
        from<CVariouSet>(CVariouSet::ToBank, S::ExamPaper),
        from<CVariouSet>(CVariouSet::Back, S::Admin),
        from<CVariouSet>(CVariouSet::Exit, kExit),
        from<CTestManage>(CTestManage::Compose, S::SetPaper),
        from<CTestManage>(CTestManage::Back, S::Admin),
        from<CTestManage>(CTestManage::Exit, kExit),
        from<CSetPaper>(CSetPaper::Back, S::TestManage),
        from<CExamLogin>(CExamLogin::Enter, S::VornDlg),
        from<CExamLogin>(CExamLogin::Back, S::Login),
        from<CExamLogin>(CExamLogin::Exit, kExit),
        from<CVornDlg>(CVornDlg::Back, S::ExamLogin),
        from<CVornDlg>(CVornDlg::Exit, kExit),
    };
    return routes;
}

void install()
{
    Nav::setRoutes(table());
}

} // namespace Routes
