#pragma once
// The draw of a paper's rule items from the bank: what an item can draw, the
// random pick and the copy into a working table interim. Exam generation
// (interim of personnel.mdb), the printed paper (interim of questions.mdb,
// questions without a picture only) and composition's available count all
// read the bank through it, so they agree on what a rule can draw.
#include <QString>

#include <optional>

class CADOConn;
class TypeRule;

// One item of a rule: so many questions of a type, subject, audience group
// and difficulty.
struct DrawItem
{
    QString type;
    std::optional<QString> subject; // none: every subject (a 全科 paper)
    QString group;
    QString difficulty;
};

namespace QuestionDraw {

// Whether questions with a picture may be drawn; a printed paper holds none.
enum class Pictures { Included, Excluded };

// How many bank questions the item can draw from. Throws DbError (a missing
// or damaged bank table).
int available(CADOConn &bank, const DrawItem &item, Pictures pictures);

// Picks count distinct questions of the item at random and adds each to the
// table interim of workFile through work, 分值 = points as stored text. The
// picture column goes along only when pictures are included (the printed
// paper's interim has none). False, with nothing added, when the bank holds
// none (even for a count of 0) or fewer than count. Throws DbError; the
// item's rows are then not added.
bool draw(CADOConn &bank, CADOConn &work, const QString &workFile, const DrawItem &item, int count, double points,
          Pictures pictures);

// Copies the interim rows of a type into the table exam of the same file in
// a fresh random order, independent of the order drawn, numbered on from
// firstNumber; columns names what exam takes of each row. Returns the rows'
// 答案 (empty text for none) in the order copied. Throws DbError; nothing of
// the type is then copied.
QStringList copyShuffled(CADOConn &work, const QString &workFile, const QString &type, int firstNumber,
                         const QStringList &columns);

// "题库中“<type>”数量不符合考卷要求，退出程序！": the bank cannot supply an
// item (exam generation and the printed paper alike).
QString shortageMessage(const QString &type);

// The subject a paper row draws from: every subject under the option 全科,
// and for a row whose subject is "无" (the subject of a 全科 row), else the
// row's subject.
std::optional<QString> subjectOf(const QString &option, const QString &rowSubject);

// Every item of a type's rule in stored order (segments, then items); false
// at the first item the bank cannot supply.
bool drawRule(CADOConn &bank, CADOConn &work, const QString &workFile, const QString &type,
              const std::optional<QString> &subject, const TypeRule &rule, Pictures pictures);

} // namespace QuestionDraw
