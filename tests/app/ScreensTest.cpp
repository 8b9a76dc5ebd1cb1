#include "app/Backgrounds.h"
#include "app/Navigation.h"
#include "app/program/ScreenLoop.h"
#include "app/ScreenBase.h"
#include "exam/KeyboardLock.h"
#include "store/CADOConn.h"
#include "store/Schema.h"
#include "support/VornTest.h"

#include <QAbstractButton>

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
                            ScreenId::ExamLogin,  ScreenId::VornDlg,         ScreenId::ItemAnalysis};
    // The exam window opens over a drawn (here empty) exam and holds the
    // keyboard, which the offscreen platform cannot grab.
    KeyboardLock::setGrabber([](bool) { return true; });
    CADOConn conn;
    conn.execute(Schema::examSheet().create, Db::Personnel);
    conn.close();
    for (ScreenId id : all) {
        std::unique_ptr<ScreenBase> screen(ScreenLoop::createScreen(id));
        screen->show();
        EXPECT_EQ(screen->windowTitle(), Nav::captionOf(id)) << Nav::classOf(id).toStdString();
        if (screen->dialogTemplate().id != 0) {
            EXPECT_EQ(screen->className(), Nav::classOf(id));
        }
        saveShot(screen.get(), Nav::classOf(id));
        // The watermark is not hidden behind a button (the start screen's and
        // the administrator's are part of their pictures and stay).
        for (const BackgroundPicture &p : backgroundOf(screen->className())) {
            if (p.id != 253 || id == ScreenId::Login || id == ScreenId::Admin)
                continue;
            const QRect mark(p.at, p.size.isEmpty() ? QSize(400, 266) : p.size);
            for (QAbstractButton *b : screen->findChildren<QAbstractButton *>()) {
                if (b->isVisible() && b->window() == screen.get()) {
                    EXPECT_FALSE(mark.intersects(QRect(b->mapTo(screen.get(), QPoint()), b->size())))
                        << Nav::classOf(id).toStdString() << " " << b->text().toStdString();
                }
            }
        }
        screen->hide();
    }
    KeyboardLock::setGrabber(nullptr);
}
