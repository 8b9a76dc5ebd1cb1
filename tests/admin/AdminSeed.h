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
