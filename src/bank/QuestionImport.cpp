#include "bank/QuestionImport.h"

#include "bank/Question.h"
#include "bank/QuestionStore.h"
#include "store/XlsReader.h"
#include "store/CADOConn.h"
#include "store/QuestionType.h"
#include "store/Schema.h"

namespace QuestionImport {

namespace {

const QStringList kRequired{"科目", "题型", "题干", "答案", "难度", "对象"};

QStringList optionsOf(const QString &type)
{
    const QuestionType *t = QuestionType::find(type);
    return t ? t->options : QStringList();
}

} // namespace

QStringList expectedColumns(const QString &type)
{
    QStringList c{"科目", "题型", "题干", "答案"};
    c << optionsOf(type);
    c << "难度" << "对象";
    return c;
}

int removeDuplicates(const QString &type)
{
    const QString table = QuestionType::checkedTable(type);
    CADOConn conn;
    const int before = QuestionStore::count(conn, table);
    {
        DbTransaction tx(conn, Db::Questions);
        conn.execute(QStringLiteral("delete from %1 where id not in(select min(id) from %1 group by %2)")
                         .arg(table, expectedColumns(table).join(QLatin1Char(','))),
                     Db::Questions);
        conn.execute(QStringLiteral("delete from %1 where 题型 is null").arg(table), Db::Questions);
        tx.commit();
    }
    const int after = QuestionStore::count(conn, table);
    conn.close();
    return before - after;
}

ImportResult run(XlsWorkbook &book, const QString &type)
{
    ImportResult result;
    result.type = QuestionType::checkedTable(type);
    const std::optional<XlsSheet> sheet = book.sheet(type);
    if (!sheet) {
        result.status = ImportResult::NoSheet;
        return result;
    }
    if (sheet->columns != expectedColumns(type)) {
        result.status = ImportResult::BadHeader;
        return result;
    }

    // Complete rows: none of the six required cells empty.
    QList<int> required;
    for (const QString &c : kRequired)
        required << sheet->column(c);
    const XlsCompleteRows complete = sheet->completeRows(required);
    const std::vector<XlsRow> &rows = complete.rows;
    result.counted = int(rows.size());
    result.skipped = complete.skipped;
    if (rows.empty()) {
        result.status = ImportResult::NoData;
        return result;
    }
    // An over-long text would be cut or refused by readers of the bank;
    // the sheet is refused whole before anything is written.
    if (complete.tooLongRow > 0) {
        result.status = ImportResult::TooLong;
        result.sheetRow = complete.tooLongRow;
        return result;
    }

    const QStringList options = optionsOf(type);
    QList<int> optionIndex;
    for (const QString &o : options)
        optionIndex << sheet->column(o);
    const int subject = sheet->column(QStringLiteral("科目"));
    const int typeColumn = sheet->column(QStringLiteral("题型"));
    const int stem = sheet->column(QStringLiteral("题干"));
    const int answer = sheet->column(QStringLiteral("答案"));
    const int difficulty = sheet->column(QStringLiteral("难度"));
    const int audience = sheet->column(QStringLiteral("对象"));

    QStringList names{"科目", "题型", "题干", "答案"};
    names << options << "难度" << "对象";
    const QString insert = QStringLiteral("insert into %1 (%2) values (%3)")
                               .arg(result.type, names.join(QLatin1Char(',')),
                                    QStringList(QList<QString>(names.size(), QStringLiteral("?"))).join(QLatin1Char(',')));
    const bool essay = QuestionType::is(type, QuestionType::Essay);
    const auto param = [](const XlsCell &c) { return c ? QVariant(*c) : QVariant(); };

    CADOConn conn;
    {
        DbTransaction tx(conn, Db::Questions);
        for (const XlsRow &row : rows) {
            const auto &cells = *row.cells;
            QString answerText = *cells[size_t(answer)];
            if (!essay)
                answerText.remove(QLatin1Char(' '));
            bool pipe = false;
            for (int i : optionIndex)
                pipe = pipe || (cells[size_t(i)] && cells[size_t(i)]->contains(QLatin1Char('|')));
            if (pipe || answerText.contains(QLatin1Char('|'))) {
                result.status = pipe ? ImportResult::PipeInOption : ImportResult::PipeInAnswer;
                result.sheetRow = row.sheetRow;
                break;
            }
            QVariantList params{param(cells[size_t(subject)]), param(cells[size_t(typeColumn)]),
                                param(cells[size_t(stem)]), answerText};
            for (int i : optionIndex)
                params << param(cells[size_t(i)]);
            params << param(cells[size_t(difficulty)]) << param(cells[size_t(audience)]);
            conn.executeOrThrow(insert, Db::Questions, params);
            ++result.stored;
        }
        // Rows stored before a refused one stay.
        tx.commit();
    }
    conn.close();
    if (result.status != ImportResult::Done)
        return result;
    result.removed = removeDuplicates(type);
    return result;
}

} // namespace QuestionImport

QString ImportResult::message() const
{
    switch (status) {
    case NoSheet:
        return QStringLiteral("Excel文件中没有%1表，导入失败！").arg(type);
    case BadHeader:
        return QStringLiteral("Excel%1表没有按照模板要求输入，导入失败！").arg(type);
    case NoData:
        return QStringLiteral("导入表格无数据！");
    case TooLong:
        return QStringLiteral("Excel%1表第%2行有超过%3个字符的内容，导入失败！").arg(type).arg(sheetRow).arg(Schema::MaxText);
    case PipeInOption:
        return QStringLiteral("题目答案选项中不能含有'|'！");
    case PipeInAnswer:
        return QStringLiteral("题目答案中不能含有'|'！");
    case Done: {
        QString text = QStringLiteral("导入数据%1条，已删除%2条重复数据！").arg(counted).arg(removed);
        if (skipped > 0)
            text += QStringLiteral("\n另有%1行的科目、题型、题干、答案、难度或对象为空，未导入。").arg(skipped);
        return text;
    }
    }
    return QString();
}
