#pragma once
// Papers and exams put into the files with plain SQL, as the screens that
// write them would leave them; their codes were computed outside the program
// (printf '%s' ... | iconv -t gb18030 | md5sum).
#include <QString>
#include <QVariantList>

// 语文卷: one subject, no essay questions, 满分 100.
inline const QVariantList kPaperPlain{"语文卷", "语文", "单科", "r1", "空", "空", "空", "空", "10", "100",
                                      "2019/05/01 09:00:00", "9ac3e32e9b0b4b4ececc8403d0909f43"};
// 综合卷: all subjects, with essay questions, 满分 120.
inline const QVariantList kPaperEssay{"综合卷", "无", "全科", "r1", "空", "空", "空", "干部,困难,2,10", "12", "120",
                                      "2019/05/02 10:00:00", "caaad6e8f36094c7cbcbd450a4cac24d"};

inline const char *kInsertPaper = "insert into exampaper (名称,科目,科目选项,单选题,判断题,填空题,多选题,问答题,总题数,满分,"
                                  "创建时间,保存码) values (?,?,?,?,?,?,?,?,?,?,?,?)";

#include "admin/ExamCreation.h"

// An exam on 语文卷 (pass mark 100) for the given people, written by exam
// creation; its codes are checked against outside digests in its own tests.
inline int seedExam(const QString &name, const QString &end, const QList<ExamCandidate> &people)
{
    ExamRequest q;
    q.name = name;
    q.start = QStringLiteral("2019/05/20 08:30");
    q.end = end;
    q.timeLimit = QStringLiteral("90");
    q.passMark = QStringLiteral("100");
    q.paper = QStringLiteral("语文卷");
    q.fullMarks = QStringLiteral("100");
    q.essay = QStringLiteral("空");
    int n = 0;
    EXPECT_EQ(ExamCreation::create(q, people, &n), ExamCreation::Outcome::Created) << name.toStdString();
    return n;
}
