#include "exam/CExamLogin.h"

#include "app/ListRows.h"
#include "app/CMyMsgDlg.h"
#include "app/Command.h"
#include "app/DepartmentPostPicker.h"
#include "app/Fonts.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "exam/ExamBuilder.h"
#include "exam/ExamEntry.h"
#include "exam/ExamHandover.h"
#include "exam/ExamSitting.h"
#include "store/Clock.h"

#include <QComboBox>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTableWidget>

namespace {
// Exam list columns.
enum Column {
    ColChoice, ColNumber, ColName, ColStart, ColEnd, ColStatus, ColTimeLimit, ColPassMark, ColPaper, ColOption,
    ColRegistration, ColPicture, ColExamNumber, ColumnCount
};
constexpr int kRowHeight = 36;
constexpr int kTimedSeconds = 6;
} // namespace

const QString &CExamLogin::introLine1()
{
    static const QString t = QStringLiteral("Lumet软件不需要网络、不连接服务器，它纯净、绿色、");
    return t;
}

const QString &CExamLogin::introLine2()
{
    static const QString t = QStringLiteral("小巧、免安装，组织考试简单方便，随机出题使考试更有效。");
    return t;
}

CExamLogin::CExamLogin(QWidget *parent)
    : ScreenBase(105, KeyFilterMode::All, parent)
{
    QTableWidget *table = list();
    for (int c = 0; c < ColumnCount; ++c)
        if (table->columnWidth(c) == 0)
            table->setColumnHidden(c, true); // columns that only carry data
    table->verticalHeader()->setMinimumSectionSize(kRowHeight);
    table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The exam name takes what the times and the status leave, so that
    // "已结束" stays inside the list.
    table->horizontalHeader()->setSectionResizeMode(ColName, QHeaderView::Stretch);

    m_picker = new DepartmentPostPicker(control<QComboBox>(Department), control<QComboBox>(Post));
    m_picker->fill();

    onClick(Query, [this] { runCommand(this, [this] { queryFormalExams(); }); });
    onClick(Mock, [this] { runCommand(this, [this] { queryMockExams(); }); });
    onClick(Enter, [this] { runCommand(this, [this] { enterExam(); }); });
    onClick(Clear, [this] { clearChoices(); });
    onClick(Back, [this] {
        ExamEntry::dropInterim();
        Nav::follow(this, Back);
    });
    onClick(Exit, [this] {
        ExamEntry::dropInterim();
        Nav::follow(this, Exit);
    });

    setMouseTracking(true);
    ExamEntry::recreateInterim();
    startTimer1(500);
}

QTableWidget *CExamLogin::list() const
{
    return control<QTableWidget>(List);
}

void CExamLogin::endWith(const QString &text)
{
    showTimedMessage(this, text, Caption::Tip, kTimedSeconds);
    Nav::exitProgram(this);
}

bool CExamLogin::report(const ExamList::Result &result)
{
    using ExamList::Outcome;
    switch (result.outcome) {
    case Outcome::Listed:
    case Outcome::NoConnection:
        return true;
    case Outcome::ExamMissing:
        showTimedMessage(this, ExamList::message(result), Caption::Tip, kTimedSeconds);
        return true;
    default:
        endWith(ExamList::message(result));
        return false;
    }
}

void CExamLogin::showRows(const QList<ExamListRow> &rows)
{
    QList<QStringList> texts;
    int number = 0;
    for (const ExamListRow &r : rows)
        texts << QStringList{QString(),  QString::number(++number), r.name,   r.start,
                             r.end,      r.status,                  r.timeLimit, r.passMark,
                             r.paper,    r.option,                  r.registrationId, QString(),
                             r.examNumber};
    ListRows::fill(list(), texts);
}

void CExamLogin::queryFormalExams()
{
    m_examMode = ExamMode::Formal;
    list()->setRowCount(0);
    const QDateTime now = Clock::now();
    const QString department = control<QComboBox>(Department)->currentText();
    const QString post = control<QComboBox>(Post)->currentText();
    const QString name = text(Name);
    if (name.isEmpty() || department.isEmpty() || post.isEmpty()) {
        MessageBox::show(this, QStringLiteral("查询信息不能有空格！"), Caption::Remind);
        return;
    }
    const ExamList::Result result = ExamList::queryFormal(name, department, post, now);
    showRows(result.rows);
    report(result);
}

void CExamLogin::queryMockExams()
{
    m_examMode = ExamMode::Mock;
    list()->setRowCount(0);
    const ExamList::Result result = ExamList::queryMock(Clock::now());
    if (result.outcome == ExamList::Outcome::Listed && result.rows.isEmpty()) {
        // An empty list alone looks like a screen that does nothing; the
        // typed name stays for a formal query.
        MessageBox::show(this, QStringLiteral("目前没有可以参加的模拟考试！"), Caption::Tip);
        return;
    }
    clearChoices();
    showRows(result.rows);
    report(result);
}

void CExamLogin::clearChoices()
{
    control<QComboBox>(Department)->setCurrentIndex(-1);
    control<QComboBox>(Post)->setCurrentIndex(-1);
    setText(Name, QString());
}

void CExamLogin::enterExam()
{
    QTableWidget *table = list();
    const QList<QTableWidgetItem *> chosen = table->selectedItems();
    const int row = chosen.isEmpty() ? -1 : chosen.first()->row();
    auto cell = [&](int column) { return row < 0 ? QString() : ListRows::text(table, row, column); };
    ExamHandover handover;
    handover.examName = cell(ColName);
    const QString status = cell(ColStatus);
    handover.timeLimit = cell(ColTimeLimit);
    handover.passMark = ExamEntry::passMarkValue(cell(ColPassMark));
    const QString paper = cell(ColPaper);
    const QString option = cell(ColOption);
    handover.registrationId = cell(ColRegistration);
    const QString examNumber = cell(ColExamNumber);
    handover.examMode = m_examMode;
    // The choice is used up: pressing again asks for a new one.
    table->clearSelection();
    table->setCurrentItem(nullptr);
    table->clearFocus();

    if (handover.examName.isEmpty()) {
        MessageBox::show(this, QStringLiteral("请选择考试！"), Caption::Tip);
        return;
    }
    if (m_examMode == ExamMode::Formal && resumeSitting(handover, status == ExamList::Ended))
        return;
    if (status == ExamList::Ended) {
        showTimedMessage(this, QStringLiteral("选择的考试已结束！"), Caption::Tip, kTimedSeconds);
        return;
    }
    switch (ExamEntry::checkPaper(paper)) {
    case ExamEntry::PaperCheck::Deleted:
        showTimedMessage(this, QStringLiteral("本次考试的试卷已删除,无法考试！"), Caption::Tip, kTimedSeconds);
        return;
    case ExamEntry::PaperCheck::Tampered:
        showTimedMessage(this, QStringLiteral("本次考试的试卷信息已被篡改,无法进行考试！"), Caption::Tip,
                         kTimedSeconds);
        return;
    case ExamEntry::PaperCheck::Sound:
        break;
    }
    if (!ExamEntry::anyExam())
        return;
    ExamEntry::recreateSheet();

    // The exam window object, and with it the keyboard lock, is made by the
    // screen loop once this command hands over (the route of 进入考试 below), a few
    // milliseconds after the draw rather than before it.

    const ExamBuild::Result built = ExamBuilder::buildExam(m_examMode, paper, option);
    switch (built.outcome) {
    case ExamBuild::Outcome::Built:
        break;
    case ExamBuild::Outcome::NoConnection:
        return;
    case ExamBuild::Outcome::NoPaper:
        endWith(ExamBuild::message(built));
        return;
    case ExamBuild::Outcome::Shortage:
        MessageBox::warn(this, ExamBuild::message(built));
        Nav::exitProgram(this);
        return;
    case ExamBuild::Outcome::MalformedRule:
        showTimedMessage(this, ExamBuild::message(built), Caption::Tip, kTimedSeconds);
        return;
    }
    ExamEntry::dropInterim();

    handover.answerKey = built.answerKey;
    if (m_examMode == ExamMode::Formal)
        handover.sittingId = ExamSitting::start(handover, examNumber, Clock::now());
    Nav::follow(this, Enter, handover);
}

bool CExamLogin::resumeSitting(const ExamHandover &chosen, bool ended)
{
    const ExamSitting::Entry entry = ExamSitting::enter(chosen, ended, Clock::now());
    switch (entry.outcome) {
    case ExamSitting::Entry::Fresh:
        return false;
    case ExamSitting::Entry::Tampered:
        showTimedMessage(this, QStringLiteral("本次考试保存的答题记录已被篡改,无法继续考试！"), Caption::Tip,
                         kTimedSeconds);
        return true;
    case ExamSitting::Entry::HandedIn:
        MessageBox::show(this, ExamSitting::handedInMessage(chosen, entry.result), Caption::Tip);
        queryFormalExams();
        return true;
    case ExamSitting::Entry::Taken:
        MessageBox::show(this, QStringLiteral("您已经交卷，不能再次参加这场考试。"), Caption::Tip);
        queryFormalExams();
        return true;
    case ExamSitting::Entry::Busy:
        MessageBox::show(this,
                         QStringLiteral("您正在另一台考试机上参加这场考试，不能同时在两台考试机上考试。\n"
                                        "如果那台考试机已经停止工作，请稍等一分钟再试，答题记录不会丢失。"),
                         Caption::Tip);
        return true;
    case ExamSitting::Entry::Resumed:
        break;
    }
    Nav::follow(this, Enter, entry.handover);
    return true;
}

void CExamLogin::onTimer(int timer)
{
    if (timer == 1 && !m_introPaused)
        update(introArea());
}

void CExamLogin::mouseMoveEvent(QMouseEvent *event)
{
    m_introPaused = introArea().contains(event->position().toPoint());
    ScreenBase::mouseMoveEvent(event);
}

void CExamLogin::leaveEvent(QEvent *event)
{
    // A pointer that left the screen rests on nothing.
    m_introPaused = false;
    ScreenBase::leaveEvent(event);
}

void CExamLogin::paintEvent(QPaintEvent *event)
{
    m_painting = event->rect();
    ScreenBase::paintEvent(event);
}

void CExamLogin::paintPictures(QPainter &painter)
{
    const QString &line1 = introLine1();
    const QString &line2 = introLine2();
    const int total = int(line1.size() + line2.size());

    painter.save();
    painter.setPen(QPen(QColor(255, 0, 0), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(36, 60), QPoint(896, 82)).adjusted(0, 0, -1, -1));

    if (!m_painting.intersects(introArea())) {
        // A control repainting over the screen (a blinking caret, say) is
        // not a paint of the introduction and types nothing.
    } else if (m_introStep > total) {
        // One paint without typed text, then the typing starts again.
        m_introStep = 0;
    } else {
        painter.setBackgroundMode(Qt::TransparentMode);
        QFont big(QStringLiteral("宋体"));
        big.setPointSize(20);
        painter.setFont(big);
        painter.setPen(QColor(255, 0, 255));
        // Placed by 宋体's ascent: the larger one of the stand-in face would
        // push the second line past the area the typing repaints.
        auto drawAt = [&](const QString &t, int x, int top) {
            painter.drawText(x, top + Fonts::nominalAscent(painter.font()), t);
        };
        if (m_introStep <= line1.size()) {
            drawAt(line1.left(m_introStep), 36, 26);
        } else {
            drawAt(line1, 36, 26);
            drawAt(line2.left(m_introStep - line1.size()), 36, 84);
        }
        QFont small(QStringLiteral("宋体"));
        small.setPointSize(11);
        painter.setFont(small);
        painter.setPen(QColor(0, 0, 255));
        drawAt((line1 + line2).mid(m_introStep), 36, 62);
        ++m_introStep;
    }
    painter.restore();
    ScreenBase::paintPictures(painter); // the watermark
}
