#pragma once
// Results and essay answers put into personnel.mdb with plain SQL, as the
// submission of an exam leaves them.
#include "store/CADOConn.h"
#include "store/Integrity.h"

#include "support/VornTest.h"

#include <QVariant>

struct SeedResult
{
    QString name;
    QString department;
    QString post;
    QString examNo;
    QString passMark;
    QVariant score; // null QVariant = not yet taken
    QVariant timeUsed;
    QVariant examTime;
    QVariant examName;
    QVariant essay; // 问答题
};

class ResultsTest : public VornTest
{
protected:
    // The row as written, sealed with the result code over its fields unless
    // a code is given. Returns its ID.
    int addResult(const SeedResult &r, const QString &code = QString())
    {
        outsiderExec(Db::Personnel,
                     "insert into ExamRegister (姓名,部门,职务,考试号,合格分数,成绩,考试用时,考试时间,考试名称,问答题) "
                     "values (?,?,?,?,?,?,?,?,?,?)",
                     {r.name, r.department, r.post, r.examNo, r.passMark, r.score, r.timeUsed, r.examTime,
                      r.examName, r.essay});
        const int id = outsiderRows(Db::Personnel, "select max(ID) from ExamRegister").at(0).at(0).toInt();
        const QString sealed = !code.isEmpty() ? code
                               : r.score.isNull()
                                   ? registrationCode(r.name, r.department, r.post, r.examNo, r.passMark)
                                   : resultCode(QString::number(id), r.name, r.post, r.examName.toString(),
                                                r.score.toString(), r.passMark, r.timeUsed.toString(),
                                                r.examTime.toString());
        outsiderExec(Db::Personnel, "update ExamRegister set 保存码=? where ID=?", {sealed, id});
        return id;
    }

    // An exam row with the given number, and counters matching its registrations.
    void addExam(int number, const QString &name, const QString &paper)
    {
        outsiderExec(Db::Personnel, "insert into ExamArrange (考试号,考试名称,试卷名称,合格分数) values (?,?,?,'60')",
                     {number, name, paper});
    }

    // 期中考试 (number 1) on 期中卷, a sealed paper whose essays are worth 5.
    void addMidtermExam()
    {
        addExam(1, QStringLiteral("期中考试"), QStringLiteral("期中卷"));
        // printf '%s' '期中卷空空空空每题5.0分。干部:困难=3,;语文315.02019/05/01 09:00:00' | iconv -t gb18030 | md5sum
        outsiderExec(Db::Questions,
                     "insert into exampaper (名称,科目,科目选项,单选题,判断题,填空题,多选题,问答题,总题数,满分,创建时间,保存码) "
                     "values ('期中卷','语文','单科','空','空','空','空','每题5.0分。干部:困难=3,;','3','15.0',"
                     "'2019/05/01 09:00:00','447797cc9473d77b24b59a21e4664d07')");
    }

    // JoinExam rows matching ExamRegister for every exam number in it.
    void sealCounters()
    {
        outsiderExec(Db::Personnel, "delete from JoinExam");
        outsiderExec(Db::Personnel, "insert into JoinExam (考试号,考生质量,考生数量) select cast(考试号 as integer), "
                                    "count(*), count(*)+5 from ExamRegister group by 考试号");
    }

    void addEssay(int registration, const SeedResult &r, const QString &stem, const QString &points,
                  const QVariant &answer = QStringLiteral("答了"))
    {
        outsiderExec(Db::Personnel,
                     "insert into quesAndAns (姓名,部门,职务,考试号,考试名称,考生编号,题干,答案,答题,分值) "
                     "values (?,?,?,?,?,?,?,?,?,?)",
                     {r.name, r.department, r.post, r.examNo, r.examName, QString::number(registration), stem,
                      QStringLiteral("参考") + stem, answer, points});
    }

    QStringList row(const QString &sql, const QVariantList &params = {})
    {
        const QList<QStringList> rows = outsiderRows(Db::Personnel, sql, params);
        return rows.isEmpty() ? QStringList() : rows.first();
    }
};

inline const QString kWide = QStringLiteral("　"); // U+3000 between date and time

// 张三's result in 年度考试 (ID 1 on a fresh file): 60 against 60 in 3725 s.
// Its code: printf '%s' '1张三会计年度考试606037252019/05/20　10:02:05' | iconv -t gb18030 | md5sum
inline SeedResult zhangSan()
{
    return {"张三", "财务部", "会计", "1", "60", "60", "3725", "2019/05/20" + kWide + "10:02:05", "年度考试", ""};
}
inline const QString kZhangSanCode = QStringLiteral("6fde7ab7909eb8abe2220717d5d85f53");
