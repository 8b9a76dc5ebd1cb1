#include "paper/PrintedPaper.h"

#include "app/PdfDocument.h"
#include "paper/Paper.h"
#include "paper/QuestionDraw.h"
#include "paper/TypeRule.h"
#include "paper/WordDocument.h"
#include "store/CADOConn.h"
#include "store/Encoding.h"
#include "store/Installed.h"
#include "store/QuestionType.h"
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

void dropSheet(CADOConn &conn)
{
    Schema::drop(conn, Schema::printSheet());
}

void resetSheet(CADOConn &conn)
{
    Schema::recreate(conn, Schema::printSheet());
}

} // namespace

void resetInterim(CADOConn &conn)
{
    Schema::recreate(conn, Schema::printInterim());
}

void dropInterim(CADOConn &conn)
{
    Schema::drop(conn, Schema::printInterim());
}

bool drawForPrint(CADOConn &conn, const QString &type, const QString &subject, const QString &group,
                  const QString &difficulty, int count, double points)
{
    return QuestionDraw::draw(conn, conn, Db::Questions, {type, QuestionDraw::subjectOf(QString(), subject), group, difficulty},
                              count, points, QuestionDraw::Pictures::Excluded);
}

int copyTypeForPrint(CADOConn &conn, const QString &type, int firstNumber)
{
    static const QStringList columns{"题型", "题干", "答案", "A", "B", "C", "D", "E", "分值"};
    return int(QuestionDraw::copyShuffled(conn, Db::Questions, type, firstNumber, columns).size());
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
    using T = QuestionType;
    const bool choice = T::isChoice(type);
    const bool judge = T::is(type, T::Judge);
    const bool blank = T::is(type, T::Blank);
    const bool essay = T::is(type, T::Essay);

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
        const QStringList &types = QuestionType::names();
        for (const Paper &row : std::as_const(rows)) {
            const std::optional<QString> subject = QuestionDraw::subjectOf(option, row.subject);
            for (int t = 0; t < types.size(); ++t)
                if (!QuestionDraw::drawRule(conn, conn, Db::Questions, types.at(t), subject,
                                            TypeRule::parse(row.types[size_t(t)]), QuestionDraw::Pictures::Excluded))
                    return types.at(t);
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
            for (const QString &type : QuestionType::names())
                next += copyTypeForPrint(conn, type, next);
            int numeral = 0;
            for (int t = 0; t < 5; ++t) {
                PrintedSection s = sectionText(conn, QuestionType::names().at(t));
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

QString writePdf(const QString &outputPath, const PrintedTexts &texts)
{
    PdfDocument pdf(texts.examName);
    pdf.paragraph(texts.examName, PdfDocument::font(20, true), Qt::AlignHCenter);
    pdf.skip(3);
    pdf.paragraph(NameLine.trimmed(), PdfDocument::font(11), Qt::AlignRight);
    pdf.skip(2);
    pdf.paragraph(texts.infoLine, PdfDocument::font(11, true));
    pdf.skip(3);
    for (const PrintedSection &s : texts.sections)
        if (!s.questions.isEmpty())
            pdf.paragraph(s.questions, PdfDocument::font(11));
    pdf.newPage();
    pdf.paragraph(KeyHeading, PdfDocument::font(11, true));
    pdf.skip(2);
    for (const PrintedSection &s : texts.sections)
        if (!s.answers.isEmpty())
            pdf.paragraph(s.answers, PdfDocument::font(11));
    return pdf.finish(outputPath);
}

QString templatePath()
{
    return Installed::dataFile(QStringLiteral("wordtest.docx"));
}

QString outputFolder(const QString &name)
{
    const QString folder = QDir::current().filePath(name);
    QDir().mkpath(folder);
    return folder;
}

QString outputPath(const QString &folder, const QString &examName, const QDateTime &when, const QString &suffix)
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
    QString path = dir.filePath(base + suffix);
    for (int i = 2; QFileInfo::exists(path); ++i)
        path = dir.filePath(QStringLiteral("%1(%2)%3").arg(base).arg(i).arg(suffix));
    return path;
}

} // namespace PrintedPaper
