#pragma once
// The printed paper pop-up (dialog 125): exam name, time limit and pass mark
// in, a DOCX of the paper with its answer key out, opened by the desktop, or
// the same as a PDF.
#include "app/ScreenBase.h"

class CWordPaper : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 125.
    enum Ids : int {
        ExamName = 1238,
        TimeLimit = 1243,
        PassMark = 1236,
        Clear = 1222,
        Generate = 1246,
        GeneratePdf = 1249, // the same paper as a PDF, for stations without a word processor
        Quit = 1248,
    };

    CWordPaper(const QString &paperName, QWidget *parent = nullptr);

    // wordtest.docx beside the executable unless set (an organisation's own
    // template, a test's).
    QString templateFile;
    // The document the last generation wrote; empty before.
    const QString &writtenDocument() const { return m_written; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void generate(bool pdf);
    void quit();

    QString m_paperName;
    QString m_written;
};
