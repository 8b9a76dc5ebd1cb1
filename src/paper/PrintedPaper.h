#pragma once
// The printed paper: a paper's rules drawn into the working tables interim
// and exam of questions.mdb (questions without pictures only), numbered by
// type, and written with its answer key into a DOCX made from wordtest.docx.
#include <QDateTime>
#include <QString>

#include <array>

class CADOConn;

// One question type's part of the printed paper; both empty when the type
// has no question.
struct PrintedSection
{
    QString questions;
    QString answers;
    bool isEmpty() const { return questions.isEmpty() && answers.isEmpty(); }
};

// What fillTemplate writes into the six bookmarks.
struct PrintedTexts
{
    QString examName;                     // mark1
    QString infoLine;                     // mark3
    std::array<PrintedSection, 5> sections; // mark4 and mark6, in type order, numerals in front
};

namespace PrintedPaper {

// mark2, with 13 underscores after each label.
extern const QString NameLine;
// mark5.
extern const QString KeyHeading;

// interim as the pop-up opens it: create, drop, create (failures ignored),
// so it starts empty whatever an earlier run left.
void resetInterim(CADOConn &conn);
void dropInterim(CADOConn &conn);

// Draws count questions without a picture of the type, subject ("无" = any),
// audience group and difficulty into interim, each worth points. False, with
// nothing drawn, when the bank holds none or fewer than count.
bool drawForPrint(CADOConn &conn, const QString &type, const QString &subject, const QString &group,
                  const QString &difficulty, int count, double points);

// Copies interim's questions of the type into exam in a random order,
// numbered from firstNumber; returns how many.
int copyTypeForPrint(CADOConn &conn, const QString &type, int firstNumber);

// The question part and the answer part of a type, from exam, without the
// section numeral.
PrintedSection sectionText(CADOConn &conn, const QString &type);

// The option lines of a 单选题 or 多选题 (options A to E, spaces removed;
// an option left empty is not printed).
QString optionLines(const std::array<QString, 5> &options);

// "（试卷满分%.1f分，要求在%s分钟内完成，合格分为%s分）"
QString infoLine(double fullScore, const QString &timeLimit, const QString &passMark);

struct Generated
{
    bool ok = false;
    QString shortType; // the type the bank could not satisfy
    PrintedTexts texts;
};

// Draws the named paper and assembles the texts (the three inputs are taken
// as typed). On a shortage the working tables are left empty, so nothing
// drawn can be mistaken for data later, and shortType names the type.
Generated generatePrintedPaper(CADOConn &conn, const QString &paperName, const QString &examName,
                               const QString &timeLimit, const QString &passMark);

// Writes the document; empty on success, else the message for the user.
QString fillTemplate(const QString &templatePath, const QString &outputPath, const PrintedTexts &texts);

// The same texts as a PDF, for stations without a word processor: the
// questions from the first page, the answer key on a page of its own.
// Empty on success, else the message for the user.
QString writePdf(const QString &outputPath, const PrintedTexts &texts);

// wordtest.docx beside the executable.
QString templatePath();
// The folder the documents are written to (made when missing, never
// cleaned up): 纸质考卷 in the working directory, or another folder of it.
QString outputFolder(const QString &name = QStringLiteral("纸质考卷"));
// <folder>/<exam name>_<yyyyMMdd_HHmmss>.docx (or another suffix), the exam
// name made safe as a file name and a number added when the name is taken.
QString outputPath(const QString &folder, const QString &examName, const QDateTime &when,
                   const QString &suffix = QStringLiteral(".docx"));

} // namespace PrintedPaper
