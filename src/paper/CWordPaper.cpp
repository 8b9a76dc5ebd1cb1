#include "paper/CWordPaper.h"

#include "app/Command.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "app/ShellOpen.h"
#include "paper/PrintedPaper.h"
#include "paper/QuestionDraw.h"
#include "store/CADOConn.h"
#include "store/Clock.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopeGuard>

namespace {
}

CWordPaper::CWordPaper(const QString &paperName, QWidget *parent)
    : ScreenBase(125, KeyFilterMode::None, parent)
    , templateFile(PrintedPaper::templatePath())
    , m_paperName(paperName)
{
    onClick(Clear, [this] {
        for (int id : {ExamName, TimeLimit, PassMark})
            setText(id, QString());
    });
    onClick(Generate, [this] { runCommand(this, [this] { generate(false); }); });
    onClick(GeneratePdf, [this] { runCommand(this, [this] { generate(true); }); });
    onClick(Quit, [this] { quit(); });
    runCommand(this, [] {
        CADOConn conn;
        PrintedPaper::resetInterim(conn);
    });
    control(ExamName)->setFocus();
}

void CWordPaper::generate(bool pdf)
{
    const QString examName = text(ExamName), timeLimit = text(TimeLimit), passMark = text(PassMark);
    if (examName.isEmpty() || timeLimit.isEmpty() || passMark.isEmpty()) {
        MessageBox::tip(this, QStringLiteral("输入数据不能为空！"));
        return;
    }
    PrintedPaper::Generated g;
    QString error;
    QString path;
    {
        // The wait cursor goes with the scope, also when a database error
        // leaves it for the command's edge.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        CADOConn conn;
        g = PrintedPaper::generatePrintedPaper(conn, m_paperName, examName, timeLimit, passMark);
        if (g.ok) {
            path = PrintedPaper::outputPath(PrintedPaper::outputFolder(), examName, Clock::now(),
                                            pdf ? QStringLiteral(".pdf") : QStringLiteral(".docx"));
            error = pdf ? PrintedPaper::writePdf(path, g.texts) : PrintedPaper::fillTemplate(templateFile, path, g.texts);
        }
    }
    if (!g.ok) {
        MessageBox::show(this, QuestionDraw::shortageMessage(g.shortType), Caption::Tip);
        Nav::exitProgram(qobject_cast<ScreenBase *>(parentWidget()));
        return;
    }
    if (!error.isEmpty()) {
        MessageBox::tip(this, error);
        return;
    }
    m_written = path;
    if (pdf) {
        MessageBox::tip(this, QStringLiteral("纸质考卷已保存为：\n%1")
                                  .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
        quit();
        return;
    }
    if (!ShellOpen::open(path)) {
        // The document is written; only opening it failed. Saying where it
        // is comes first, or the administrator takes the export for lost.
        MessageBox::tip(this, QStringLiteral("纸质考卷已保存为：\n%1\n\n本机没有安装word产品，无法自动打开它；"
                                             "可把该文件复制到装有word的电脑上打开或打印。")
                                  .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
        return;
    }
    quit();
}

void CWordPaper::quit()
{
    CADOConn conn;
    PrintedPaper::dropInterim(conn);
    accept();
}

void CWordPaper::keyPressEvent(QKeyEvent *event)
{
    // The standard dialog keys: Enter and Esc close without dropping interim;
    // Enter on a focused button presses it.
    if (!enterWithoutDefaultButton(event))
        ScreenBase::keyPressEvent(event);
}
