#pragma once
// Questions, papers, exams and registrations put into the files with plain
// SQL, as the screens that write them would leave them. Every code below was
// computed outside the program (printf '%s' ... | iconv -t gb18030 | md5sum).
#include "store/CADOConn.h"
#include "store/QuestionType.h"

#include <QString>
#include <QVariantList>

// Appends n questions of a type; stems "<prefix><i>" from 1, each answered
// "答<prefix><i>".
inline void seedBank(const QString &type, int n, const QString &subject, const QString &group,
                     const QString &difficulty, const QString &prefix)
{
    CADOConn conn;
    DbTransaction tx(conn, Db::Questions);
    const QString sql = QStringLiteral("insert into %1 (科目,题型,题干,答案,A,B,难度,对象) values (?,?,?,?,?,?,?,?)")
                            .arg(QuestionType::checkedTable(type));
    for (int i = 1; i <= n; ++i) {
        const QString stem = prefix + QString::number(i);
        conn.executeOrThrow(sql, Db::Questions,
                            {subject, type, stem, QStringLiteral("答") + stem, QStringLiteral("甲"),
                             QStringLiteral("乙"), difficulty, group});
    }
    tx.commit();
}

inline const char *kPaperColumns = "(名称,科目,科目选项,单选题,判断题,填空题,多选题,问答题,总题数,满分,创建时间,保存码) "
                                   "values (?,?,?,?,?,?,?,?,?,?,?,?)";

inline const QString kSingle5 = QStringLiteral("每题2.0分。干部:简单=5,;");
inline const QString kJudge3 = QStringLiteral("每题1.0分。干部:简单=3,;");
inline const QString kFill2 = QStringLiteral("每题2.5分。工人:中等=2,;");

// 期中卷: 语文, 5 单选题 + 3 判断题 + 2 填空题, 满分 18.
inline const QVariantList kMidterm{"期中卷", "语文", "单科", kSingle5, kJudge3, kFill2, "空", "空", "10", "18.0",
                                   "2026/01/05 09:00:00", "7a1812581db9154d849b38363f9ccaf6"};
// 问答卷: 语文, one 单选题 and one 问答题.
inline const QVariantList kEssayPaper{"问答卷", "语文", "单科", "每题2.0分。干部:简单=1,;", "空", "空", "空",
                                      "每题10.0分。干部:困难=1,;", "2", "12.0", "2026/01/05 09:30:00",
                                      "94903738009a4747270d95318eba3291"};

// The bank 期中卷 draws from, with exactly enough questions.
inline void seedMidtermBank()
{
    seedBank(QStringLiteral("单选题"), 5, QStringLiteral("语文"), QStringLiteral("干部"), QStringLiteral("简单"),
             QStringLiteral("单"));
    seedBank(QStringLiteral("判断题"), 3, QStringLiteral("语文"), QStringLiteral("干部"), QStringLiteral("简单"),
             QStringLiteral("判"));
    seedBank(QStringLiteral("填空题"), 2, QStringLiteral("语文"), QStringLiteral("工人"), QStringLiteral("中等"),
             QStringLiteral("填"));
}
