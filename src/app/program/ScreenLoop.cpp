#include "app/program/ScreenLoop.h"
#include "app/program/Routes.h"

#include "app/ScreenBase.h"
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
#include "results/CItemAnalysis.h"
#include "results/CScoreMap.h"
#include "results/ChartSelection.h"

#include <QTimer>

#include <memory>
#include <vector>

namespace ScreenLoop {

namespace {

std::function<void()> g_shownHook;

// What was handed over, or an empty value of its type when nothing was.
template<typename T>
T handed(const std::any &handover)
{
    const T *value = std::any_cast<T>(&handover);
    return value ? *value : T{};
}

} // namespace

ScreenBase *createScreen(ScreenId id, const std::any &handover)
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
        return new CVornDlg(handed<ExamHandover>(handover));
    case ScreenId::CheckScore:
        return new CCheckScore;
    case ScreenId::HandworkCorrect:
        return new CHandworkCorrect;
    case ScreenId::ScoreMap:
        return new CScoreMap(handed<ChartSelection>(handover));
    case ScreenId::ItemAnalysis:
        return new CItemAnalysis;
    }
    return new CLogin;
}

int run(ScreenId first, std::any handover)
{
    Routes::install();
    std::optional<Nav::Request> next = Nav::Request{first, std::move(handover)};
    bool firstShown = false;
    // Screens nest in the described chain; of the screens left behind only
    // those that must live on are kept, the others go as the next comes.
    std::vector<std::unique_ptr<ScreenBase>> kept;
    while (next) {
        std::unique_ptr<ScreenBase> screen(createScreen(next->next, next->handover));
        Nav::takeRequest();
        if (!firstShown && g_shownHook) {
            firstShown = true;
            QTimer::singleShot(0, screen.get(), [] { g_shownHook(); });
        }
        screen->exec();
        // Closed by its frame: no next screen, the program ends.
        next = Nav::takeRequest();
        if (screen->keptUntilExit())
            kept.push_back(std::move(screen));
    }
    return 0;
}

void setShownHook(std::function<void()> hook)
{
    g_shownHook = std::move(hook);
}

} // namespace ScreenLoop
