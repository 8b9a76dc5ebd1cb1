#pragma once
// A small exam with kept sittings, as six examinees leave it after their
// essays were marked, and a seventh whose essay still waits. The figures it
// must give are worked out by hand in ItemAnalysisTest.cpp.
#include "exam/ExamSheetSeed.h"
#include "store/Clock.h"
#include "store/Sitting.h"

#include "ResultsSeed.h"

struct SeedAnswers
{
    const char *name;
    QVariant single1, single2, judge; // null = unanswered
    int essayMark;
};

// 单选题 11 (key A) and 12 (key B), 判断题 21 (key A), 2 points each;
// 问答题 51, 4 points. Full marks 10, pass mark 6.
inline const QList<SeedAnswers> kSixExaminees{
    {"甲", "A", "C", "A", 4}, {"乙", "A", "C", "A", 3}, {"丙", "A", "B", "A", 3},
    {"丁", "B", "B", "A", 1}, {"戊", "C", "C", "A", 1}, {"己", QVariant(), "B", "A", 0},
};

class AnalysisTest : public ResultsTest
{
protected:
    void seedFinalExam()
    {
        addExam(1, QStringLiteral("期末考试"), QStringLiteral("期末卷"));
        outsiderExec(Db::Questions,
                     "insert into exampaper (名称,科目,科目选项,单选题,判断题,填空题,多选题,问答题,总题数,满分,创建时间) "
                     "values ('期末卷','语文','单科','每题2分。干部:简单=2,;','每题2分。干部:简单=1,;','空','空',"
                     "'每题4分。干部:简单=1,;','4','10','2019/05/01 09:00:00')");
        Clock::setFixed(QDateTime(QDate(2019, 6, 20), QTime(9, 0)));
        for (const SeedAnswers &a : kSixExaminees) {
            const QList<SheetQuestion> sheet{
                {"单选题", "一加一", {"二", "三", "四"}, "2", a.single1, "A"},
                {"单选题", "首都", {"甲", "乙", "丙", "丁"}, "2", a.single2, "B"},
                {"判断题", "天是蓝的", {"正确", "错误"}, "2", a.judge, "A"},
                {"问答题", "谈谈读书", {}, "4", QStringLiteral("答了"), "言之有理"},
            };
            const int objective = (a.single1 == QVariant("A")) * 2 + (a.single2 == QVariant("B")) * 2 +
                                  (a.judge == QVariant("A")) * 2;
            sitExam(a.name, sheet, QString::number(objective + a.essayMark), {11, 12, 21, 51});
        }
        // 庚 has handed in, but the essay waits: left out until marked.
        SeedResult waiting{"庚", "财务部", "会计", "1", "6", "2", "600",
                           "2019/06/20" + kWide + "09:30:00", "期末考试", "有"};
        addResult(waiting);
        sealCounters();
    }

    // A registration with its score and a submitted sitting of the sheet.
    void sitExam(const QString &name, const QList<SheetQuestion> &sheet, const QString &score,
                 const QList<int> &bankIds)
    {
        const int id = addResult({name, "财务部", "会计", "1", "6", score, "600",
                                  "2019/06/20" + kWide + "09:30:00", "期末考试", QVariant()});
        seedExamSheet(sheet);
        CADOConn conn;
        conn.openConnection(Db::Personnel);
        for (int i = 0; i < bankIds.size(); ++i)
            conn.executeOrThrow(QStringLiteral("update exam set 题库ID=? where 编号=?"), Db::Personnel,
                                {bankIds[i], i + 1});
        QStringList key;
        for (const SheetQuestion &q : sheet)
            key << q.reference;
        Sitting::create(conn, id, QStringLiteral("1"), 1800, key, Clock::now());
        Sitting::close(conn, id);
        conn.close();
    }
};
