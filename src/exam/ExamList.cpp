#include "exam/ExamList.h"

#include "paper/Paper.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Integrity.h"

namespace ExamList {

namespace {

// Reads the papers' subject options as rows are listed; one connection for
// the whole listing.
class PaperOptions
{
public:
    std::optional<QString> optionOf(const QString &paper)
    {
        if (!m_open) {
            m_open = true;
            if (!m_conn.openConnection(Db::Questions))
                return std::nullopt;
        }
        const std::optional<Paper> p = PaperStore::readPaperNamed(m_conn, paper);
        if (!p)
            return std::nullopt;
        return p->option;
    }

private:
    CADOConn m_conn;
    bool m_open = false;
};

enum class Step { Listed, Skipped, Tampered, PaperMissing };

// The exam row at the cursor: its code, its window, and the row as listed.
Step listExam(const CRecordset &exam, const QString &registrationId, const QDateTime &now, PaperOptions &papers,
              Result &result)
{
    if (!examSealed(exam))
        return Step::Tampered;
    ExamListRow row;
    row.name = exam.getString(QStringLiteral("考试名称"));
    row.start = exam.getString(QStringLiteral("开始时间"));
    row.end = exam.getString(QStringLiteral("结束时间"));
    if (!hasBegun(row.start, now))
        return Step::Skipped;
    row.status = hasEnded(row.end, now) ? Ended : QString();
    row.timeLimit = exam.getString(QStringLiteral("考试时限"));
    row.passMark = exam.getString(QStringLiteral("合格分数"));
    row.paper = exam.getString(QStringLiteral("试卷名称"));
    row.registrationId = registrationId;
    row.examNumber = exam.getString(QStringLiteral("考试号"));
    const std::optional<QString> option = papers.optionOf(row.paper);
    if (!option) {
        result.examName = row.name;
        return Step::PaperMissing;
    }
    row.option = *option;
    result.rows << row;
    return Step::Listed;
}

Outcome outcomeOf(Step step)
{
    return step == Step::Tampered ? Outcome::ExamTampered : Outcome::PaperMissing;
}

} // namespace

bool hasBegun(const QString &start, const QDateTime &now)
{
    const QDateTime t = Clock::parseLocal(start);
    return t.isValid() && now.msecsTo(t) < 500;
}

bool hasEnded(const QString &end, const QDateTime &now)
{
    const QDateTime t = Clock::parseLocal(end);
    return !t.isValid() || t < now;
}

Result queryFormal(const QString &name, const QString &department, const QString &post, const QDateTime &now)
{
    Result result;
    CADOConn conn;
    if (!conn.openConnection(Db::Personnel)) {
        result.outcome = Outcome::NoConnection;
        return result;
    }
    RecordsetPtr regs = conn.openRecordset(
        QStringLiteral("select * from ExamRegister where 姓名=? and 部门=? and 职务=? and 成绩 is null"),
        Db::Personnel, {name, department, post});
    PaperOptions papers;
    for (regs->moveFirst(); !regs->isEOF(); regs->moveNext()) {
        const QString numberText = regs->getString(QStringLiteral("考试号"));
        const int number = numberText.toInt();
        if (!registrationSealed(*regs)) {
            result.outcome = Outcome::RegistrationTampered;
            return result;
        }
        switch (checkRosterCounters(conn, number)) {
        case CounterCheck::Ok:
            break;
        case CounterCheck::NotOneRow:
            result.outcome = Outcome::CountersNotOneRow;
            return result;
        case CounterCheck::QualityDiffers:
        case CounterCheck::QuantityDiffers:
            result.outcome = Outcome::CountersDiffer;
            return result;
        }
        RecordsetPtr exam = conn.openRecordset(QStringLiteral("select * from ExamArrange where 考试号=?"),
                                               Db::Personnel, {number});
        if (exam->isEOF()) {
            result.outcome = Outcome::ExamMissing;
            return result;
        }
        // The open registration itself is the one the exam's result goes to.
        const Step step = listExam(*exam, regs->getString(QStringLiteral("ID")), now, papers, result);
        if (step == Step::Tampered || step == Step::PaperMissing) {
            result.outcome = outcomeOf(step);
            return result;
        }
    }
    return result;
}

Result queryMock(const QDateTime &now)
{
    Result result;
    CADOConn conn;
    if (!conn.openConnection(Db::Personnel)) {
        result.outcome = Outcome::NoConnection;
        return result;
    }
    RecordsetPtr exams =
        conn.openRecordset(QStringLiteral("select * from ExamArrange where 备注 is null"), Db::Personnel);
    PaperOptions papers;
    for (exams->moveFirst(); !exams->isEOF(); exams->moveNext()) {
        const Step step = listExam(*exams, QString(), now, papers, result);
        if (step == Step::Tampered || step == Step::PaperMissing) {
            result.outcome = outcomeOf(step);
            return result;
        }
    }
    return result;
}

QString message(const Result &result)
{
    switch (result.outcome) {
    case Outcome::Listed:
    case Outcome::NoConnection:
        return QString();
    case Outcome::RegistrationTampered:
    case Outcome::CountersNotOneRow:
        return QStringLiteral("数据库已被篡改,将退出程序！");
    case Outcome::CountersDiffer:
        return QStringLiteral("本次考试人员数量被修改,将退出程序！");
    case Outcome::ExamMissing:
        return QStringLiteral("考试信息已被篡改,无法进行考试！");
    case Outcome::ExamTampered:
        return QStringLiteral("考试信息已被篡改,将退出程序！");
    case Outcome::PaperMissing:
        return QStringLiteral("“") + result.examName + QStringLiteral("”找不到相应的试卷,将退出程序！");
    }
    return QString();
}

} // namespace ExamList
