#include "paper/PrintedPaper.h"

#include "paper/Paper.h"
#include "paper/TypeRule.h"
#include "paper/WordDocument.h"
#include "store/CADOConn.h"
#include "store/Encoding.h"
#include "store/Installed.h"
#include "store/Random.h"
#include "store/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace PrintedPaper {

const QString NameLine = QStringLiteral("姓名_____________ 职务_____________ 得分_____________\n");
const QString KeyHeading = QStringLiteral("参考答案");

namespace {

constexpr int kOptionWidth = 42; // GB18030 bytes of an option column
const QString kIndent = QStringLiteral("    ");
const QString kBlank = QStringLiteral("_____________");
const QString kNumerals[5] = {QStringLiteral("一、"), QStringLiteral("二、"), QStringLiteral("三、"),
                              QStringLiteral("四、"), QStringLiteral("五、")};

// The number a stored text starts with (points, full score), else 0.
double leadingNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

// Points as a plain decimal: 2 gives "2", 2.5 gives "2.5".
QString plainNumber(double value)
{
    return QString::number(value, 'g', 15);
}

QList<qint64> ids(CADOConn &conn, const QString &sql, const QVariantList &params)
{
    QList<qint64> out;
    RecordsetPtr rs = conn.openRecordset(sql, Db::Questions, params);
    out.reserve(rs->recordCount());
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        out << rs->getString(QStringLiteral("ID")).toLongLong();
    return out;
}

void dropSheet(CADOConn &conn)
{
    conn.execute(Schema::printSheet().drop, Db::Questions);
}

void resetSheet(CADOConn &conn)
{
    const Schema::WorkTable &t = Schema::printSheet();
    conn.execute(t.create, Db::Questions);
    conn.execute(t.drop, Db::Questions);
    conn.execute(t.create, Db::Questions);
}

} // namespace

void resetInterim(CADOConn &conn)
{
    const Schema::WorkTable &t = Schema::printInterim();
    conn.execute(t.create, Db::Questions);
    conn.execute(t.drop, Db::Questions);
    conn.execute(t.create, Db::Questions);
}

void dropInterim(CADOConn &conn)
{
    conn.execute(Schema::printInterim().drop, Db::Questions);
}

bool drawForPrint(CADOConn &conn, const QString &type, const QString &subject, const QString &group,
                  const QString &difficulty, int count, double points)
{
    const QString table = QuestionTypes::checkedTable(type);
    QString sql = QStringLiteral("select ID from %1 where 题型=?").arg(table);
    QVariantList params{type};
    if (subject != PaperSubjectText::None) {
        sql += QStringLiteral(" and 科目=?");
        params << subject;
    }
    sql += QStringLiteral(" and 对象=? and 难度=? and 图片 is null");
    params << group << difficulty;
    const QList<qint64> rows = ids(conn, sql, params);
    const qsizetype n = rows.size();
    if (n == 0 || n < count)
        return false;

    const QString insert = QStringLiteral("insert into interim (科目,题型,题干,答案,A,B,C,D,E,难度,对象,分值) "
                                          "select 科目,题型,题干,答案,A,B,C,D,E,难度,对象,? from %1 where ID=?")
                               .arg(table);
    const QString value = plainNumber(points);
    DbTransaction tx(conn, Db::Questions);
    for (std::uint64_t p : Random::pickDistinct(std::uint64_t(std::max(count, 0)), std::uint64_t(n)))
        conn.executeOrThrow(insert, Db::Questions, {value, rows.at(qsizetype(p))});
    tx.commit();
    return true;
}

int copyTypeForPrint(CADOConn &conn, const QString &type, int firstNumber)
{
    const QList<qint64> rows =
        ids(conn, QStringLiteral("select ID from interim where 题型=? order by ID"), {type});
    const QString insert = QStringLiteral("insert into exam (编号,题型,题干,答案,A,B,C,D,E,分值) "
                                          "select ?,题型,题干,答案,A,B,C,D,E,分值 from interim where ID=?");
    DbTransaction tx(conn, Db::Questions);
    int k = 0;
    for (std::uint64_t p : Random::pickDistinct(std::uint64_t(rows.size()), std::uint64_t(rows.size())))
        conn.executeOrThrow(insert, Db::Questions, {firstNumber + k++, rows.at(qsizetype(p))});
    tx.commit();
    return k;
}

QString optionLines(const std::array<QString, 5> &raw)
{
    static const QString letters[5] = {QStringLiteral("A、"), QStringLiteral("B、"), QStringLiteral("C、"),
                                       QStringLiteral("D、"), QStringLiteral("E、")};
    // An option with no text is no choice: it is left out, and the others
    // keep their letters, which the answer key names.
    QList<QString> shown;
    bool wide = false;
    for (int i = 0; i < 5; ++i) {
        const QString text = QString(raw[i]).remove(QLatin1Char(' '));
        if (text.isEmpty())
            continue;
        shown << letters[i] + text;
        wide = wide || Encoding::gbLength(text) > kOptionWidth;
    }
    QString out;
    // E stands on a line of its own, as when all five are set.
    const bool eAlone = !shown.isEmpty() && shown.last().startsWith(letters[4]);
    const qsizetype paired = wide ? 0 : shown.size() - (eAlone ? 1 : 0);
    qsizetype i = 0;
    for (; i + 1 < paired; i += 2) {
        const qsizetype pad = kOptionWidth - Encoding::gbLength(shown[i].mid(2));
        out += kIndent + shown[i] + QString(pad, QLatin1Char(' ')) + shown[i + 1] + QLatin1Char('\n');
    }
    for (; i < shown.size(); ++i)
        out += kIndent + shown[i] + QLatin1Char('\n');
    return out;
}

PrintedSection sectionText(CADOConn &conn, const QString &type)
{
    RecordsetPtr rs = conn.openRecordset(QStringLiteral("select * from exam where 题型=? order by ID"),
                                         Db::Questions, {type});
    if (rs->recordCount() == 0)
        return {};
    const bool choice = type == QStringLiteral("单选题") || type == QStringLiteral("多选题");
    const bool judge = type == QStringLiteral("判断题");
    const bool blank = type == QStringLiteral("填空题");
    const bool essay = type == QStringLiteral("问答题");

    QString questions, answers, points;
    double total = 0;
    int i = 1;
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext(), ++i) {
        const auto field = [&rs](const char *name) { return rs->getString(QString::fromUtf8(name)); };
        QString q = QString::number(i) + QStringLiteral("、") + field("题干") + QLatin1Char('\n');
        QString answer = field("答案");
        if (judge) {
            q += kIndent + QStringLiteral("A、正确") + QString(20, QLatin1Char(' ')) + QStringLiteral("B、错误\n");
        } else if (choice) {
            q += optionLines({field("A"), field("B"), field("C"), field("D"), field("E")});
        } else if (blank) {
            q.remove(QLatin1Char(' '));
            q.replace(QStringLiteral("【】"), kBlank);
            answer.replace(QLatin1Char('#'), QLatin1Char(' '));
        } else if (essay) {
            q += QStringLiteral("\n\n\n\n");
        }
        questions += q;
        points = field("分值");
        total += leadingNumber(points);
        answers += QString::number(i) + QStringLiteral("、") + answer
                   + (essay ? QStringLiteral("\n") : QStringLiteral("，"));
    }
    PrintedSection s;
    s.answers = type + QLatin1Char('\n') + answers + QLatin1Char('\n');
    s.questions = type + QStringLiteral("（每题%1分，共%2分）").arg(points, QString::asprintf("%.1f", total))
                  + QLatin1Char('\n') + questions;
    return s;
}

QString infoLine(double fullScore, const QString &timeLimit, const QString &passMark)
{
    return QStringLiteral("（试卷满分%1分，要求在%2分钟内完成，合格分为%3分）")
        .arg(QString::asprintf("%.1f", fullScore), timeLimit, passMark);
}

QString shortageMessage(const QString &type)
{
    return QStringLiteral("题库中“") + type + QStringLiteral("”数量不符合考卷要求，退出程序！");
}

Generated generatePrintedPaper(CADOConn &conn, const QString &paperName, const QString &examName,
                               const QString &timeLimit, const QString &passMark)
{
    Generated g;
    g.texts.examName = examName;

    QList<Paper> rows;
    for (const Paper &p : PaperStore::readPapers(conn))
        if (p.name == paperName)
            rows << p;
    const QString option = rows.isEmpty() ? QString() : rows.first().option;
    if (option == SubjectOption::Multi)
        rows = PaperStore::subjectRows(conn, paperName);

    double fullScore = 0;
    // Draws in stored order: rows, types, segments, items; stops at the
    // first item the bank cannot satisfy and names its type.
    const auto drawAll = [&]() -> QString {
        const QStringList &types = QuestionTypes::all();
        for (const Paper &row : std::as_const(rows)) {
            const QString subject = option == SubjectOption::All ? PaperSubjectText::None : row.subject;
            for (int t = 0; t < types.size(); ++t) {
                const TypeRule rule = TypeRule::parse(row.types[size_t(t)]);
                for (const TypeRuleSegment &segment : rule.segments)
                    for (const TypeRuleItem &item : segment.items)
                        if (!drawForPrint(conn, types.at(t), subject, segment.group, item.difficulty, item.count,
                                          rule.points))
                            return types.at(t);
            }
            fullScore += leadingNumber(row.fullMarks);
        }
        return {};
    };
    // One transaction for the whole generation: the draw is all or nothing,
    // and the working tables cost one write to disk, not one per statement.
    {
        DbTransaction tx(conn, Db::Questions);
        // Each generation starts from an empty interim: what an earlier
        // attempt in the same pop-up drew must not be printed a second time.
        resetInterim(conn);
        g.shortType = drawAll();
        if (g.shortType.isEmpty()) {
            resetSheet(conn);
            int next = 1;
            for (const QString &type : QuestionTypes::all())
                next += copyTypeForPrint(conn, type, next);
            int numeral = 0;
            for (int t = 0; t < 5; ++t) {
                PrintedSection s = sectionText(conn, QuestionTypes::all().at(t));
                if (!s.isEmpty()) {
                    s.questions.prepend(kNumerals[numeral]);
                    s.answers.prepend(kNumerals[numeral]);
                    ++numeral;
                }
                g.texts.sections[size_t(t)] = s;
            }
            dropSheet(conn);
            tx.commit();
        }
    }
    if (!g.shortType.isEmpty()) {
        // The program ends next: leave no drawn question behind.
        resetInterim(conn);
        dropSheet(conn);
        return g;
    }

    g.texts.infoLine = infoLine(fullScore, timeLimit, passMark);
    g.ok = true;
    return g;
}

QString fillTemplate(const QString &templateFile, const QString &outputPath, const PrintedTexts &texts)
{
    QString questions, answers;
    for (const PrintedSection &s : texts.sections) {
        questions += s.questions;
        answers += s.answers;
    }
    using Align = BookmarkText::Align;
    const QList<BookmarkText> marks{
        {QStringLiteral("mark1"), texts.examName, true, 20, Align::Center},
        {QStringLiteral("mark2"), NameLine, false, 0, Align::Right},
        {QStringLiteral("mark3"), texts.infoLine, true, 0, Align::Keep},
        {QStringLiteral("mark4"), questions, false, 0, Align::Keep, true}, // options stay with their stem
        {QStringLiteral("mark5"), KeyHeading, true, 0, Align::Keep},
        {QStringLiteral("mark6"), answers, false, 0, Align::Keep},
    };
    return WordDocument::fill(templateFile, outputPath, marks);
}

QString templatePath()
{
    return Installed::dataFile(QStringLiteral("wordtest.docx"));
}

QString outputFolder()
{
    const QString folder = QDir::current().filePath(QStringLiteral("纸质考卷"));
    QDir().mkpath(folder);
    return folder;
}

QString outputPath(const QString &folder, const QString &examName, const QDateTime &when)
{
    QString safe;
    for (QChar c : examName) {
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            safe += QLatin1Char('_');
        else
            safe += c;
    }
    safe = safe.trimmed();
    while (safe.startsWith(QLatin1Char('.')))
        safe.remove(0, 1);
    // Long names are cut so that the file name stays within 255 bytes.
    while (safe.toUtf8().size() > 180)
        safe.chop(1);
    if (safe.isEmpty())
        safe = QStringLiteral("试卷");
    const QString base = safe + QLatin1Char('_') + when.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    const QDir dir(folder);
    QString path = dir.filePath(base + QStringLiteral(".docx"));
    for (int i = 2; QFileInfo::exists(path); ++i)
        path = dir.filePath(QStringLiteral("%1(%2).docx").arg(base).arg(i));
    return path;
}

} // namespace PrintedPaper
