#include "store/Schema.h"

#include "store/CADOConn.h"
#include "store/QuestionType.h"

namespace Schema {

namespace {

QString textColumns(const QStringList &names)
{
    QStringList parts;
    for (const QString &n : names)
        parts << n + QStringLiteral(" TEXT(%1)").arg(MaxText);
    return parts.join(QStringLiteral(", "));
}

const QStringList kQuestionColumns{"科目", "题型", "题干", "答案", "A", "B", "C", "D", "E", "难度", "对象", "图片"};

} // namespace

QStringList storedTables(const QString &file)
{
    QStringList sql;
    if (file == Db::Personnel) {
        sql << QStringLiteral("CREATE TABLE LastPass (系统管理员密码 TEXT(255), 考试管理员密码 TEXT(255))");
        sql << QStringLiteral("CREATE TABLE examinee (ID INTEGER PRIMARY KEY AUTOINCREMENT, %1)")
                   .arg(textColumns({"姓名", "部门", "职务"}));
        sql << QStringLiteral("CREATE TABLE ExamArrange (考试号 INTEGER PRIMARY KEY AUTOINCREMENT, %1)")
                   .arg(textColumns({"考试名称", "试卷名称", "开始时间", "结束时间", "考试时限", "合格分数",
                                     "时效", "保存码", "备注"}));
        sql << QStringLiteral("CREATE TABLE ExamRegister (ID INTEGER PRIMARY KEY AUTOINCREMENT, %1)")
                   .arg(textColumns({"姓名", "部门", "职务", "考试号", "合格分数", "保存码", "成绩", "考试用时",
                                     "考试时间", "考试名称", "问答题"}));
        sql << QStringLiteral("CREATE TABLE JoinExam (考试号 INT, 考生质量 INT, 考生数量 INT)");
        sql << QStringLiteral("CREATE TABLE quesAndAns (ID INTEGER PRIMARY KEY AUTOINCREMENT, %1)")
                   .arg(textColumns({"姓名", "部门", "职务", "考试号", "考试名称", "考生编号", "题干", "答案",
                                     "答题", "分值"}));
    } else if (file == Db::Questions) {
        sql << QStringLiteral("CREATE TABLE Subject (ID INTEGER PRIMARY KEY AUTOINCREMENT, 科目 TEXT(255))");
        for (const QuestionType &type : QuestionType::all())
            sql << QStringLiteral("CREATE TABLE %1 (ID INTEGER PRIMARY KEY AUTOINCREMENT, %2)")
                       .arg(type.table(), textColumns(kQuestionColumns));
        const QStringList paperColumns = QStringList{"名称", "科目", "科目选项"} + QuestionType::names()
                                         + QStringList{"总题数", "满分", "创建时间", "保存码"};
        sql << QStringLiteral("CREATE TABLE exampaper (ID INTEGER PRIMARY KEY AUTOINCREMENT, %1)")
                   .arg(textColumns(paperColumns));
        sql << QStringLiteral("CREATE TABLE testpaper (%1)").arg(textColumns(paperColumns));
    }
    return sql;
}

QStringList storedTableNames(const QString &file)
{
    if (file == Db::Personnel)
        return {"LastPass", "examinee", "ExamArrange", "ExamRegister", "JoinExam", "quesAndAns"};
    if (file == Db::Questions)
        return QStringList{"Subject"} + QuestionType::names() + QStringList{"exampaper", "testpaper"};
    return {};
}

QStringList indexes(const QString &file)
{
    QStringList sql;
    if (file == Db::Personnel) {
        // A person's registrations (the examinee screen's query), an exam's
        // registrations (roster counters) and its counter row.
        sql << QStringLiteral("create index if not exists register_person on ExamRegister (姓名, 部门, 职务)");
        sql << QStringLiteral("create index if not exists register_exam on ExamRegister (考试号)");
        sql << QStringLiteral("create index if not exists joinexam_exam on JoinExam (考试号)");
        return sql;
    }
    if (file != Db::Questions)
        return sql;
    for (const QuestionType &t : QuestionType::all()) {
        const int i = t.order();
        const QString &type = t.table();
        // Rows of one type in ID order (the browser's pages) and the counts of
        // a paper rule with and without its subject (composition, the draw).
        sql << QStringLiteral("create index if not exists bank%1_type on %2 (题型)").arg(i + 1).arg(type);
        sql << QStringLiteral("create index if not exists bank%1_subject on %2 (题型, 科目)").arg(i + 1).arg(type);
        sql << QStringLiteral("create index if not exists bank%1_rule on %2 (题型, 科目, 对象, 难度)").arg(i + 1).arg(type);
        sql << QStringLiteral("create index if not exists bank%1_group on %2 (题型, 对象, 难度)").arg(i + 1).arg(type);
    }
    return sql;
}

void recreate(CADOConn &conn, const WorkTable &table)
{
    conn.execute(table.create, table.file);
    conn.execute(table.drop, table.file);
    conn.execute(table.create, table.file);
}

void drop(CADOConn &conn, const WorkTable &table)
{
    conn.execute(table.drop, table.file);
}

QStringList addedTables(const QString &file)
{
    if (file != Db::Personnel)
        return {};
    return {
        QStringLiteral("create table if not exists Sitting (ID INTEGER PRIMARY KEY AUTOINCREMENT, 报名ID INT, "
                       "考试号 TEXT(255), 题数 INT, 剩余秒数 INT, 延长分钟 INT, 状态 TEXT(255), 开始时间 TEXT(255), "
                       "保存码 TEXT(255))"),
        QStringLiteral("create unique index if not exists sitting_registration on Sitting (报名ID)"),
        QStringLiteral("create index if not exists sitting_exam on Sitting (考试号)"),
        QStringLiteral("create table if not exists SittingQuestion (ID INTEGER PRIMARY KEY AUTOINCREMENT, 场次 INT, "
                       "编号 INT, 题库ID INT, %1, 标记 INT, 保存码 TEXT(255))")
            .arg(textColumns({"科目", "题型", "题干", "答案", "A", "B", "C", "D", "E", "分值", "图片", "答题"})),
        QStringLiteral("create unique index if not exists sittingquestion_number on SittingQuestion (场次, 编号)"),
    };
}

const WorkTable &examInterim()
{
    static const WorkTable t{
        Db::Personnel,
        QStringLiteral("create table interim (ID INTEGER PRIMARY KEY AUTOINCREMENT, %1, 题库ID INT)")
            .arg(textColumns({"科目", "题型", "题干", "答案", "A", "B", "C", "D", "E", "分值", "难度", "对象", "图片"})),
        QStringLiteral("Drop Table interim")};
    return t;
}

const WorkTable &examSheet()
{
    static const WorkTable t{
        Db::Personnel,
        QStringLiteral("create table exam (ID INTEGER PRIMARY KEY AUTOINCREMENT, 编号 INT, %1, 题库ID INT)")
            .arg(textColumns({"科目", "题型", "题干", "A", "B", "C", "D", "E", "答题", "分值", "图片"})),
        QStringLiteral("Drop Table exam")};
    return t;
}

const WorkTable &browserInterim1()
{
    static const WorkTable t{
        Db::Questions,
        QStringLiteral("create table interim1 (ID INTEGER PRIMARY KEY AUTOINCREMENT, %1)")
            .arg(textColumns({"编号", "VID", "科目", "题型", "题干", "答案", "A", "B", "C", "D", "E", "难度", "对象"})),
        QStringLiteral("Drop Table interim1")};
    return t;
}

const WorkTable &printInterim()
{
    static const WorkTable t{
        Db::Questions,
        QStringLiteral("create table interim (ID INTEGER PRIMARY KEY AUTOINCREMENT, %1, 题库ID INT)")
            .arg(textColumns({"科目", "题型", "题干", "答案", "A", "B", "C", "D", "E", "分值", "难度", "对象"})),
        QStringLiteral("Drop Table interim")};
    return t;
}

const WorkTable &printSheet()
{
    static const WorkTable t{
        Db::Questions,
        QStringLiteral("create table exam (ID INTEGER PRIMARY KEY AUTOINCREMENT, 编号 INT, %1)")
            .arg(textColumns({"题型", "题干", "答案", "A", "B", "C", "D", "E", "分值"})),
        QStringLiteral("Drop Table exam")};
    return t;
}

} // namespace Schema
