#pragma once
// The fixture of the exam window's tests: a keyboard lock that always holds,
// a 1024×768 screen and the clock at 2019-05-20 10:00.
#include "exam/CVornDlg.h"
#include "exam/KeyboardLock.h"
#include "store/Clock.h"

#include "support/VornTest.h"

class ExamWindowTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        KeyboardLock::setGrabber([](bool) { return true; });
        CVornDlg::setScreenSizeOverride(QSize(1024, 768));
        Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(10, 0)));
    }
    void TearDown() override
    {
        CVornDlg::setScreenSizeOverride(QSize());
        KeyboardLock::setGrabber(nullptr);
        VornTest::TearDown(); // also frees the clock
    }
};
