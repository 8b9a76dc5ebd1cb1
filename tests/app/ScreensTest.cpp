#include "app/Navigation.h"
#include "app/ScreenBase.h"
#include "support/VornTest.h"

#include <memory>

class ScreensTest : public VornTest
{
};

// Every full screen opens with its caption, from its template when it has one.
TEST_F(ScreensTest, EveryScreenOpensWithItsCaption)
{
    const ScreenId all[] = {ScreenId::Login,      ScreenId::Admin,           ScreenId::ExamManager,
                            ScreenId::ExamManagement, ScreenId::CreateExam,  ScreenId::CheckScore,
                            ScreenId::HandworkCorrect, ScreenId::ScoreMap,   ScreenId::ExamPaper,
                            ScreenId::VariouSet,  ScreenId::TestManage,      ScreenId::SetPaper,
                            ScreenId::ExamLogin,  ScreenId::VornDlg};
    for (ScreenId id : all) {
        std::unique_ptr<ScreenBase> screen(Nav::createScreen(id));
        screen->show();
        EXPECT_EQ(screen->windowTitle(), Nav::captionOf(id)) << Nav::classOf(id).toStdString();
        if (screen->dialogTemplate().id != 0)
            EXPECT_EQ(screen->className(), Nav::classOf(id));
        saveShot(screen.get(), Nav::classOf(id));
        screen->hide();
    }
}
