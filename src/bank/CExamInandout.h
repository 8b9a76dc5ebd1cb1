#pragma once
// Import of questions.xls and clearing of a type (dialog 126), opened by the
// bank browser in one of two modes.
#include "app/ScreenBase.h"
#include "store/XlsReader.h"

class CExamInandout : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 126.
    enum Ids : int {
        Type = 1336,
        Explanation = 1339,
        Import = 1335,
        Clear = 1337, // clears the type
        Exit = 1338,
    };

    enum class Mode { Import, Delete };

    // Import mode: the workbook must already be open.
    CExamInandout(Mode mode, XlsWorkbook *book, QWidget *parent = nullptr);

    // Opens the workbook, then the screen in import mode. A file that cannot
    // be read as a workbook is reported and the screen does not open.
    // Accepted when an import finished (the browser then empties its list).
    static int runImport(QWidget *parent, const QString &path);
    static int runDelete(QWidget *parent);

    static QString importExplanation();
    static QString deleteExplanation();

private:
    void importSheet();
    void clearType();

    Mode m_mode;
    XlsWorkbook *m_book;
};
