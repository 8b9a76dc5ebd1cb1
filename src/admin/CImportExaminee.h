#pragma once
// The confirmation pop-up of the roster import (dialog 108), over the
// workbook the administrator chose.
#include "app/ScreenBase.h"

class XlsWorkbook;

class CImportExaminee : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 108.
    enum Ids : int {
        Import = 1001,
        Cancel = 1002,
    };

    // The workbook must already be open.
    CImportExaminee(XlsWorkbook *book, QWidget *parent = nullptr);

    // Opens the workbook, then the pop-up. A file that cannot be read as a
    // workbook is reported with the reader's reason and the pop-up does not
    // open. Accepted when an import finished.
    static int run(QWidget *parent, const QString &path);

private:
    void importRoster();

    XlsWorkbook *m_book;
};
