#pragma once
// The start and the run of the exam window's benches: offscreen, a working
// directory of their own, the keyboard lock held, a 1366×768 screen, the
// clock at 2019-05-20 10:00 and one registration; the benches run beside a
// copy bare.mdb of personnel.mdb for the bare engine's figures.
#include "BankBench.h"
#include "exam/CVornDlg.h"
#include "exam/KeyboardLock.h"
#include "store/CADOConn.h"
#include "store/Clock.h"

#include "exam/ExamSheetSeed.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>

class ExamWindowBench
{
public:
    ExamWindowBench(int &argc, char **argv)
        : m_offscreen(qputenv("QT_QPA_PLATFORM", "offscreen")), m_app(argc, argv)
    {
        KeyboardLock::setGrabber([](bool) { return true; });
        CVornDlg::setScreenSizeOverride(QSize(1366, 768));
        Clock::setFixed(QDateTime(QDate(2019, 5, 20), QTime(10, 0)));
        registration = seedRegistration();
    }

    int run(int &argc, char **argv)
    {
        CADOConn::releaseCachedHandles();
        QFile::copy("personnel.mdb", "bare.mdb");
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }

    int registration = 0;

private:
    bool m_offscreen; // set before the application is made
    QApplication m_app;
    BenchWorkDir m_work;
};
