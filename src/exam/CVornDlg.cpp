#include "exam/CVornDlg.h"

#include "app/Backgrounds.h"
#include "app/CMyMsgDlg.h"
#include "app/Command.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "app/CShowMap.h"
#include "exam/ExamSheet.h"
#include "exam/ExamSitting.h"
#include "exam/ExamSubmission.h"
#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/QuestionType.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCheckBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QTextCursor>
#include <QTextEdit>

namespace {

QSize g_screenOverride;

const QString kRules = QStringLiteral(
    "\t请仔细阅读以下练习规则：\n\n\t1、单选题和判断题只能选一个答案，多选题必须选二个及以上答案。\n\n\t2、按“开始考试”，"
    "显示题目和选项。\n\r\n\r\t3、按“下一题”或“上一题”后，才能保存当前答案。\n\n\t4、按“交卷”并确定后考试结束。");

// The overview scrolls inside a column along the left edge; its content
// uses the window's coordinates shifted up by its top.
constexpr int kOverviewTop = 110, kOverviewWidth = 262;

using enum ExamWindowControls::Ids;
const QList<int> kMovedIds{ClockLabel, Section, Number, TypeLine, TimeLimit, TimeLeft, Rules, Stem, OptionsLabel, SingleA, SingleB, SingleC, SingleD,
                           SingleE, MultiA, MultiB, MultiC, MultiD, MultiE, LetterA, LetterB, LetterC, LetterD, LetterE, JudgeRight, JudgeWrong,
                           JudgeLetterA, JudgeLetterB, Blank1Label, Blank1, Blank2Label, Blank2, EssayLabel, Essay, Start, Previous, Next, Submit, Back, Exit};
const QList<int> kTypeControls{OptionsLabel, JudgeLetterA, JudgeLetterB, JudgeRight, JudgeWrong, Blank1Label, Blank1, Blank2Label, Blank2, EssayLabel, Essay,
                               SingleA, SingleB, SingleC, SingleD, SingleE, LetterA, LetterB, LetterC, LetterD, LetterE,
                               MultiA, MultiB, MultiC, MultiD, MultiE};

QFont overviewFont()
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(14);
    f.setWeight(QFont::Light);
    return f;
}

// Option captions wrap inside their place; a text longer than the place
// takes a smaller face, and the whole text stays in the tool tip.
void setOptionText(QAbstractButton *button, const QString &text, const QFont &base)
{
    const int width = std::max(button->width() - 24, 40);
    const int height = button->height();
    QFont font = base;
    QString wrapped;
    for (int px = base.pixelSize(); px >= 9; --px) {
        font.setPixelSize(px);
        const QFontMetrics fm(font);
        wrapped.clear();
        QString line;
        int lines = 1;
        for (QChar c : text) {
            if (c == QLatin1Char('\n') || fm.horizontalAdvance(line + c) > width) {
                wrapped += line + QLatin1Char('\n');
                line.clear();
                ++lines;
                if (c == QLatin1Char('\n'))
                    continue;
            }
            line += c;
        }
        wrapped += line;
        if (lines * fm.lineSpacing() <= height)
            break;
    }
    button->setFont(font);
    // "&" would turn into a mnemonic.
    button->setText(QString(wrapped).replace(QLatin1Char('&'), QStringLiteral("&&")));
    button->setToolTip(text);
}

} // namespace

NumberLabel::NumberLabel(int number, QWidget *parent) : QLabel(QString::number(number), parent), m_number(number)
{
    setAlignment(Qt::AlignCenter);
    setProperty("ctrlId", NumberBase + number);
    setObjectName(QStringLiteral("ctrl%1").arg(NumberBase + number));
    setCursor(Qt::PointingHandCursor);
}

void NumberLabel::setMark(ExamScoring::Mark mark)
{
    using M = ExamScoring::Mark;
    setText(QString::number(m_number)); // earlier marks cleared
    if (mark == m_mark)
        return;
    m_mark = mark;
    switch (mark) {
    case M::Answered: m_markTip = QStringLiteral("已答"); break;
    case M::Right: m_markTip = QStringLiteral("正确"); break;
    case M::Half: m_markTip = QStringLiteral("半对"); break;
    case M::Wrong: m_markTip = QStringLiteral("错误"); break;
    case M::Unanswered: m_markTip = QStringLiteral("未答"); break;
    case M::Essay: m_markTip = QStringLiteral("待批阅"); break;
    case M::None: m_markTip.clear(); break;
    }
    setFlagged(m_flagged);
    update();
}

void NumberLabel::setFlagged(bool flagged)
{
    m_flagged = flagged;
    QString tip = m_markTip;
    if (flagged)
        tip += (tip.isEmpty() ? QString() : QStringLiteral("，")) + QStringLiteral("已标记");
    setToolTip(tip);
    update();
}

void NumberLabel::paintEvent(QPaintEvent *event)
{
    // The mark lies beneath the number, which stays readable on it: a tint
    // and a frame per kind, a dashed frame for an essay that waits for the
    // hand marking.
    using M = ExamScoring::Mark;
    if (m_mark != M::None) {
        QPainter p(this);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        const QColor green(0, 150, 0), red(220, 0, 0), paleGreen(200, 240, 200), paleRed(255, 205, 205);
        QPen frame(red);
        switch (m_mark) {
        case M::Answered:
            p.fillRect(r, QColor(205, 225, 255));
            frame.setColor(QColor(40, 90, 200));
            break;
        case M::Right:
            p.fillRect(r, paleGreen);
            frame.setColor(green);
            break;
        case M::Half:
            p.fillRect(QRect(r.left(), r.top(), r.width() / 2, r.height() + 1), paleGreen);
            p.fillRect(QRect(r.left() + r.width() / 2, r.top(), r.width() - r.width() / 2 + 1, r.height() + 1), paleRed);
            frame.setColor(QColor(230, 120, 0));
            break;
        case M::Essay:
            p.fillRect(r, QColor(255, 240, 190));
            frame.setColor(QColor(200, 120, 0));
            frame.setStyle(Qt::DashLine);
            break;
        case M::Unanswered:
        case M::Wrong:
            p.fillRect(r, paleRed);
            break;
        case M::None:
            break;
        }
        p.setPen(frame);
        p.drawRect(r);
    }
    if (m_flagged) {
        // A flag in the upper right corner, clear of the number.
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const int s = std::max(std::min(width(), height()) / 2, 6);
        const QPointF corner(width(), 0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 100, 0));
        p.drawPolygon(QPolygonF{corner, corner - QPointF(s, 0), corner + QPointF(0, s)});
    }
    QLabel::paintEvent(event);
}

void NumberLabel::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        Q_EMIT flagToggled(m_number);
    else
        Q_EMIT clicked(m_number);
}

void CVornDlg::setScreenSizeOverride(const QSize &size)
{
    g_screenOverride = size;
}

CVornDlg::CVornDlg(const ExamHandover &handover, QWidget *parent)
    : ScreenBase(102, KeyFilterMode::None, parent), m_lock(this), m_handover(handover)
{
    // The lock lasts while this object lives: also under the examinee screen
    // that 返回 opens, until the program ends.
    setKeptUntilExit(true);
    // Nothing but the exam while it is up: above other programs' windows,
    // the pointer inside it.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    m_lock.holdWindow(this);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(240, 248, 255));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    // 1. The clock, timer 1.
    setText(ClockLabel, Clock::formatChinese(Clock::now()));
    startTimer1(1000);

    m_singleGroup = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i)
        m_singleGroup->addButton(control<QAbstractButton>(SingleA + i), i);
    m_judgeGroup = new QButtonGroup(this);
    m_judgeGroup->addButton(control<QAbstractButton>(JudgeRight), 0);
    m_judgeGroup->addButton(control<QAbstractButton>(JudgeWrong), 1);

    // 2-3. Type counts and the overview.
    runCommand(this, [this] {
        CADOConn conn;
        conn.openConnection(Db::Personnel);
        m_typeCounts = ExamSheet::typeCounts(conn);
        conn.close();
    });

    // 4. Fills the primary screen.
    const QSize screen = g_screenOverride.isValid()
                             ? g_screenOverride
                             : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry().size()
                                                                 : QSize(1024, 768));
    m_w = screen.width();
    m_h = screen.height();
    setMinimumSize(0, 0);
    setMaximumSize(m_w, m_h);
    resize(m_w, m_h);
    setWindowState(Qt::WindowMaximized);

    buildOverview();
    // 6. Rules, places, the exam name, the stem's margin.
    // A carriage return breaks no line on its own in the label it was
    // written for; here it would, so the rules show as written there.
    setText(Rules, QString(kRules).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).remove(QLatin1Char('\r')));
    placeControls();
    setText(ExamName, m_handover.examName);
    auto *stem = control<QTextEdit>(Stem);
    stem->document()->setDocumentMargin(5);
    stem->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    stem->setLineWrapMode(QTextEdit::WidgetWidth);
    control<QLineEdit>(Blank1)->setAutoFillBackground(true);
    // Labels only show text: a click on one, where it overlaps an option or
    // a box, goes to what lies beneath. The review labels wait hidden in
    // their template place, which lies over the options.
    for (QLabel *label : findChildren<QLabel *>())
        if (label->property("ctrlId").isValid() && !qobject_cast<NumberLabel *>(label))
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
    setShown({AnswerLabel, ReferenceLabel}, false);

    onClick(Start, [this] { runCommand(this, [this] { startExam(); }); });
    onClick(Previous, [this] { runCommand(this, [this] { previousQuestion(); }); });
    onClick(Next, [this] { runCommand(this, [this] { nextQuestion(); }); });
    onClick(Submit, [this] { runCommand(this, [this] { handIn(); }); });
    onClick(Back, [this] { runCommand(this, [this] { goBack(); }); });
    onClick(Exit, [this] { runCommand(this, [this] { quit(); }); });
    connect(control<QLineEdit>(Blank1), &QLineEdit::textEdited, this, [this] { blankEdited(1); });
    connect(control<QLineEdit>(Blank2), &QLineEdit::textEdited, this, [this] { blankEdited(2); });

    // The window's own key filter sees every key before any control.
    qApp->installEventFilter(this);
}

CVornDlg::~CVornDlg()
{
    qApp->removeEventFilter(this);
    closePicture();
}

NumberLabel *CVornDlg::numberLabel(int number) const
{
    return number >= 1 && number <= m_numbers.size() ? m_numbers[number - 1] : nullptr;
}

void CVornDlg::buildOverview()
{
    m_overview = new QScrollArea(this);
    m_overview->setFrameShape(QFrame::NoFrame);
    m_overview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_overview->viewport()->setAutoFillBackground(false);
    m_overviewContent = new QWidget;
    m_overviewContent->setAutoFillBackground(false);
    const QFont font = overviewFont();
    for (const ExamLayout::OverviewItem &item : ExamLayout::overview(m_typeCounts)) {
        QLabel *label = nullptr;
        if (item.heading) {
            label = control<QLabel>(item.id);
            label->setParent(m_overviewContent);
            label->setText(item.text);
            label->setWordWrap(false);
        } else {
            auto *number = new NumberLabel(item.id - NumberBase, m_overviewContent);
            connect(number, &NumberLabel::clicked, this,
                    [this](int n) { runCommand(this, [this, n] { jumpTo(n); }); });
            connect(number, &NumberLabel::flagToggled, this,
                    [this](int n) { runCommand(this, [this, n] { toggleFlag(n); }); });
            m_numbers << number;
            label = number;
        }
        label->setFont(font);
        label->setGeometry(item.rect.translated(0, -kOverviewTop));
        label->show();
    }
    m_overviewContent->resize(kOverviewWidth - 20, ExamLayout::overviewBottom(m_typeCounts) - kOverviewTop + 10);
    m_overview->setWidget(m_overviewContent);
    m_overview->setGeometry(0, kOverviewTop, kOverviewWidth, std::max(m_h - kOverviewTop - 40, 100));
    // A scroll bar only when the numbers do not fit.
    m_overview->setVerticalScrollBarPolicy(m_overviewContent->height() > m_overview->height() ? Qt::ScrollBarAlwaysOn
                                                                                               : Qt::ScrollBarAlwaysOff);
    m_overview->widget()->setAutoFillBackground(false);
}

void CVornDlg::placeControls()
{
    for (int id : kMovedIds)
        if (QWidget *w = control(id))
            w->setGeometry(ExamLayout::rectOf(id, m_w, m_h));
    auto *rules = control<QLabel>(Rules);
    rules->setWordWrap(false);
    // The face's lines are taller than the place allows; the rules stay whole.
    QRect r = rules->geometry();
    r.setHeight(std::max(r.height(), rules->sizeHint().height()));
    rules->setGeometry(r);
    for (int id : {Section, Number})
        control<QLabel>(id)->setAlignment(Qt::AlignRight | Qt::AlignTop);
}

void CVornDlg::setShown(std::initializer_list<int> ids, bool shown)
{
    for (int id : ids)
        if (QWidget *w = control(id))
            w->setVisible(shown);
}

void CVornDlg::startExam()
{
    m_countdown.start(m_handover.timeLimit);
    if (m_handover.sittingId > 0)
        startSitting();
    m_timer2.start(1000, this);
    m_keyEntries = ExamScoring::keyEntries(m_handover.answerKey);
    setShown({Rules, Start, Back, Exit}, false);
    setShown({Next, Previous, Submit}, true);
    setText(TimeLimit, QStringLiteral("答题时限:") + m_handover.timeLimit + QStringLiteral("分钟"));
    setText(OptionsLabel, QStringLiteral("选项"));
    if (showQuestion(1))
        setCurrent(1);
    refreshMarks();
    if (m_handover.sittingId > 0)
        setText(TimeLeft, m_countdown.leftText());
    // No time at all (a limit of 0 written by an outsider): time is up at once
    // rather than counting into negative numbers.
    if (m_countdown.timeUp() && !m_submitted)
        timeUp();
}

void CVornDlg::startSitting()
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    const std::optional<SittingRecord> s = Sitting::find(conn, m_handover.registrationId.toInt());
    if (!s || s->id != m_handover.sittingId || !s->running()) {
        m_handover.sittingId = 0; // nothing to keep: the exam runs as before
        return;
    }
    for (const SittingQuestion &q : Sitting::questions(conn, s->id))
        if (q.flagged)
            m_flags.insert(q.number);
    conn.close();
    if (m_handover.resumed)
        showTimedMessage(this, QStringLiteral("考试已恢复，剩余时间") + Sitting::durationText(s->secondsLeft),
                         Caption::Tip, 5);
    // The exam's own time, extensions included, counted by the monotonic
    // clock from what the sitting holds.
    m_countdown.resume(m_countdown.limitSeconds() + s->extraMinutes * 60, s->secondsLeft);
    m_sittingTimer.start(s->secondsLeft);
    saveTimeLeft();
}

int CVornDlg::storedSecondsLeft() const
{
    return std::max(int(m_sittingTimer.msLeft() / 1000) - 4, 0);
}

void CVornDlg::saveTimeLeft()
{
    if (m_handover.sittingId <= 0)
        return;
    tellSync(sync().saveTime(storedSecondsLeft()));
    m_lastTimeWrite = Clock::monotonicMs();
}

SittingSync::Writer &CVornDlg::sync()
{
    if (!m_sync || m_sync->sittingId() != m_handover.sittingId)
        m_sync.emplace(m_handover.sittingId);
    return *m_sync;
}

void CVornDlg::tellSync(SittingSync::State state)
{
    // Told once when the server goes away, once when all is written again.
    if (state == SittingSync::State::Kept && !m_toldKept) {
        m_toldKept = true;
        showTimedMessage(this,
                         QStringLiteral("与考试服务器的连接暂时中断。\n您的答案和剩余时间都保存在本机，没有丢失；"
                                        "请继续答题，连接恢复后会自动保存到服务器。"),
                         Caption::Tip, 5);
    } else if (state == SittingSync::State::CaughtUp && m_toldKept) {
        m_toldKept = false;
        showTimedMessage(this, QStringLiteral("已重新连接考试服务器，您的答案已全部保存。"), Caption::Tip, 3);
    }
}

void CVornDlg::toggleFlag(int number)
{
    NumberLabel *label = numberLabel(number);
    if (!label || m_review || m_submitted || !m_current)
        return;
    const bool flagged = !m_flags.contains(number);
    if (m_handover.sittingId > 0) {
        tellSync(sync().setFlag(number, flagged, storedSecondsLeft()));
        m_lastTimeWrite = Clock::monotonicMs();
    }
    if (flagged)
        m_flags.insert(number);
    else
        m_flags.remove(number);
    label->setFlagged(flagged);
}

void CVornDlg::setCurrent(int number)
{
    m_current = number;
    setText(Number, QString::number(number) + QStringLiteral("、"));
}

void CVornDlg::closePicture()
{
    if (m_picture) {
        delete m_picture.data();
        m_picture = nullptr;
    }
}

void CVornDlg::showPictureWindow(const QString &path)
{
    // Beside the question, not over it; the whole picture where there is
    // room for it.
    m_picture = new CShowMap(path, this);
    const QSize natural = m_picture->imageSize().isEmpty() ? CShowMap::emptyClient()
                                                           : CShowMap::clientSizeFor(m_picture->imageSize());
    const QRect area = ExamLayout::pictureArea(natural, m_typeCounts, m_w, m_h);
    m_picture->placeWithin(QRect(mapToGlobal(area.topLeft()), area.size()));
    m_picture->show();
}

bool CVornDlg::showQuestion(int number)
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    const std::optional<ExamQuestion> q = ExamSheet::load(conn, number);
    conn.close();
    if (!q)
        return false;

    if (m_review) {
        // The answer label stands only where it is placed for review, never
        // over the answer area.
        if (QuestionType::is(q->type, QuestionType::Blank) || QuestionType::is(q->type, QuestionType::Essay)) {
            control<QLineEdit>(Blank1)->setReadOnly(true);
            control<QLineEdit>(Blank2)->setReadOnly(true);
            control<QPlainTextEdit>(Essay)->setReadOnly(true);
            control(ReferenceLabel)->setGeometry(ExamLayout::reviewReferenceRect(q->type, m_w, m_h));
            setText(AnswerLabel, QString());
            control(AnswerLabel)->hide();
        } else {
            control(AnswerLabel)->setGeometry(ExamLayout::reviewAnswerRect(m_w, m_h));
            control(ReferenceLabel)->setGeometry(ExamLayout::reviewReferenceRect(q->type, m_w, m_h));
            setText(AnswerLabel, QStringLiteral("您的答案：") + q->answer.value_or(QString()));
            control(AnswerLabel)->show();
        }
        control(ReferenceLabel)->show();
        setText(ReferenceLabel, ExamLayout::referenceText(q->type, m_keyEntries.value(number - 1)));
        control<QLabel>(AnswerLabel)->setWordWrap(true);
        control<QLabel>(ReferenceLabel)->setWordWrap(true);
    }

    // Picture.
    closePicture();
    if (q->picture) {
        const QString path = ExamSheet::picturePath(*q->picture);
        if (!QFileInfo::exists(path))
            showTimedMessage(this, QStringLiteral("找不到图片文件"), Caption::Tip, 5);
        else
            showPictureWindow(path);
    }

    m_blank = BlankStem(control<QTextEdit>(Stem)->toPlainText());
    if (q->stem)
        m_blank = BlankStem(*q->stem);
    applyStem();
    setText(Section, ExamLayout::sectionOf(q->type));
    setText(TypeLine, ExamLayout::typeLine(q->type, q->points));

    const QString answer = q->answer.value_or(QString());
    if (QuestionType::isChoice(q->type)) {
        showOptions(*q, QuestionType::is(q->type, QuestionType::Multi));
    } else if (QuestionType::is(q->type, QuestionType::Judge)) {
        for (int id : kTypeControls)
            control(id)->setVisible(id == OptionsLabel || id == JudgeLetterA || id == JudgeLetterB || id == JudgeRight || id == JudgeWrong);
        control<QLineEdit>(Blank1)->clear();
        control<QLineEdit>(Blank2)->clear();
        m_judgeGroup->setExclusive(false);
        control<QAbstractButton>(JudgeRight)->setChecked(answer == QLatin1String("A"));
        control<QAbstractButton>(JudgeWrong)->setChecked(answer == QLatin1String("B"));
        m_judgeGroup->setExclusive(true);
    } else if (QuestionType::is(q->type, QuestionType::Blank)) {
        if (!showBlanks(*q))
            return false;
    } else if (QuestionType::is(q->type, QuestionType::Essay)) {
        for (int id : kTypeControls)
            control(id)->setVisible(id == EssayLabel || id == Essay);
        control<QPlainTextEdit>(Essay)->setPlainText(answer);
    }
    update();
    return true;
}

void CVornDlg::showOptions(const ExamQuestion &q, bool multi)
{
    const int first = multi ? MultiA : SingleA;
    for (int id : kTypeControls) {
        const bool shown = id == OptionsLabel || (id >= first && id <= first + 4) || (id >= LetterA && id <= LetterE);
        control(id)->setVisible(shown);
    }
    control<QLineEdit>(Blank1)->clear();
    control<QLineEdit>(Blank2)->clear();
    static const QString letters = QStringLiteral("ABCDE");
    const QString answer = q.answer.value_or(QString());
    if (!multi)
        m_singleGroup->setExclusive(false);
    for (int i = 0; i < 5; ++i) {
        auto *button = control<QAbstractButton>(first + i);
        // An option without text is no choice: neither shown nor chosen.
        const bool offered = ExamLayout::offered(q.options[i]);
        setOptionText(button, q.options[i].value_or(QString()), font());
        if (multi)
            button->setChecked(offered && answer.contains(letters[i]));
        else
            button->setChecked(offered && answer == letters.mid(i, 1));
        button->setVisible(offered);
        control(LetterA + i)->setVisible(offered);
    }
    if (!multi)
        m_singleGroup->setExclusive(true);
}

bool CVornDlg::showBlanks(const ExamQuestion &q)
{
    const int markers = BlankStem::markerCount(m_blank.text());
    if (markers != 1 && markers != 2) {
        MessageBox::show(this, QStringLiteral("填空题填空符号不符合要求,将退出程序！"), Caption::Tip);
        m_timer2.stop();
        Nav::exitProgram(this);
        return false;
    }
    for (int id : kTypeControls)
        control(id)->setVisible(id == Blank1Label || id == Blank1 || (markers == 2 && (id == Blank2Label || id == Blank2)));
    const auto [v1, v2] = AnswerRules::splitBlanks(q.answer.value_or(QString()));
    control<QLineEdit>(Blank1)->setText(v1);
    showBlankValue(1, v1);
    if (markers == 2) {
        control<QLineEdit>(Blank2)->setText(v2);
        showBlankValue(2, v2);
    } else {
        control<QLineEdit>(Blank2)->clear();
    }
    return true;
}

void CVornDlg::showBlankValue(int k, const QString &value)
{
    m_blank.setValue(k, value);
    applyStem();
    update();
}

void CVornDlg::applyStem()
{
    auto *stem = control<QTextEdit>(Stem);
    stem->setPlainText(m_blank.text());
    // The blanks' values are underlined, keeping their colour.
    for (int k = 1; k <= 2; ++k) {
        const BlankStem::Range r = m_blank.range(k);
        if (r.first == r.second)
            continue;
        QTextCursor c(stem->document());
        c.setPosition(r.first);
        c.setPosition(r.second, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setFontUnderline(true);
        c.mergeCharFormat(f);
    }
}

void CVornDlg::blankEdited(int k)
{
    auto *box = control<QLineEdit>(k == 1 ? Blank1 : Blank2);
    const QString cleaned = AnswerRules::cleanBlankInput(box->text());
    if (cleaned != box->text()) {
        const int cursor = box->cursorPosition() - int(box->text().size() - cleaned.size());
        box->setText(cleaned);
        box->setCursorPosition(std::max(cursor, 0));
    }
    showBlankValue(k, cleaned);
}

ShownAnswer CVornDlg::shownAnswer(const QString &type) const
{
    ShownAnswer s;
    s.type = type;
    s.single = m_singleGroup->checkedId();
    s.judge = m_judgeGroup->checkedId();
    s.blank1 = control<QLineEdit>(Blank1)->text();
    s.blank2 = control<QLineEdit>(Blank2)->text();
    for (int i = 0; i < 5; ++i)
        s.multi[i] = control<QAbstractButton>(MultiA + i)->isChecked();
    s.essay = control<QPlainTextEdit>(Essay)->toPlainText();
    return s;
}

void CVornDlg::saveAnswer(int number)
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    if (m_handover.sittingId <= 0) {
        if (const std::optional<ExamQuestion> q = ExamSheet::load(conn, number))
            ExamSheet::apply(conn, number, AnswerRules::decide(shownAnswer(q->type)));
        conn.close();
        return;
    }
    const std::optional<ExamQuestion> q = ExamSheet::load(conn, number);
    conn.close();
    if (q)
        tellSync(sync().saveAnswer(number, AnswerRules::decide(shownAnswer(q->type)), storedSecondsLeft()));
    m_lastTimeWrite = Clock::monotonicMs();
}

void CVornDlg::previousQuestion()
{
    if (!m_current)
        return;
    const int n = *m_current;
    if (!m_review)
        saveAnswer(n);
    if (n == 1)
        showTimedMessage(this, QStringLiteral("已经是第1题了！"), Caption::Tip, 5);
    else if (showQuestion(n - 1))
        setCurrent(n - 1);
    refreshMarks();
}

void CVornDlg::nextQuestion()
{
    if (!m_current)
        return;
    const int n = *m_current;
    if (!m_review)
        saveAnswer(n);
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    const int count = ExamSheet::count(conn);
    conn.close();
    if (n >= count)
        showTimedMessage(this, QStringLiteral("已经是最后一题了！"), Caption::Tip, 5);
    else if (showQuestion(n + 1))
        setCurrent(n + 1);
    refreshMarks();
}

void CVornDlg::jumpTo(int number)
{
    // The answer on display is not saved: only the two buttons and the
    // submission store it.
    if (!m_current)
        return;
    if (showQuestion(number))
        setCurrent(number);
    refreshMarks();
}

void CVornDlg::refreshMarks()
{
    using M = ExamScoring::Mark;
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    if (!m_review) {
        const QList<int> answered = ExamSheet::answeredNumbers(conn);
        QList<bool> marked(m_numbers.size() + 1, false);
        for (int n : answered)
            if (n >= 1 && n <= m_numbers.size())
                marked[n] = true;
        for (NumberLabel *label : std::as_const(m_numbers))
            label->setMark(marked[label->number()] ? M::Answered : M::None);
    } else {
        for (const ExamQuestion &q : ExamSheet::all(conn))
            if (NumberLabel *label = numberLabel(q.number))
                label->setMark(ExamScoring::reviewMark(q.type, q.answer, m_keyEntries.value(q.number - 1)));
    }
    conn.close();
    for (NumberLabel *label : std::as_const(m_numbers))
        if (label->flagged() != m_flags.contains(label->number()))
            label->setFlagged(m_flags.contains(label->number()));
    update();
}

void CVornDlg::onTimer(int timer)
{
    setText(ClockLabel, Clock::formatChinese(Clock::now()));
    if (m_review || timer != 2 || m_submitted)
        return;
    if (m_handover.sittingId > 0) {
        const int left = m_sittingTimer.secondsLeft();
        m_countdown.resume(m_countdown.limitSeconds(), left);
        setText(TimeLeft, m_countdown.leftText());
        // Every tick 2.5 s after the last write: never more than 4 s apart,
        // inside the 4 s the stored time runs ahead.
        if (Clock::monotonicMs() - m_lastTimeWrite >= 2500)
            saveTimeLeft();
        if (left <= 0)
            timeUp();
        return;
    }
    const bool up = m_countdown.tick();
    setText(TimeLeft, m_countdown.leftText());
    if (up)
        timeUp();
}

void CVornDlg::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_timer2.timerId()) {
        onTimer(2);
        return;
    }
    ScreenBase::timerEvent(event);
}

void CVornDlg::timeUp()
{
    m_timer2.stop();
    closePicture();
    showTimedMessage(this, QStringLiteral("考试时间到，强制交卷!"), Caption::Remind, 10);
    runCommand(this, [this] { submitExam(); });
}

void CVornDlg::handIn()
{
    m_timer2.stop();
    m_sittingTimer.pause();
    closePicture();
    if (MessageBox::confirm(this, handInQuestion())) {
        submitExam();
    } else {
        m_sittingTimer.resume();
        m_timer2.start(1000, this);
    }
}

QString CVornDlg::handInQuestion()
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    QSet<int> answered;
    for (int n : ExamSheet::answeredNumbers(conn))
        answered.insert(n);
    // The question on display counts as the submission would save it.
    if (m_current && !m_review)
        if (const std::optional<ExamQuestion> q = ExamSheet::load(conn, *m_current)) {
            const SaveDecision d = AnswerRules::decide(shownAnswer(q->type));
            if (d.action == SaveDecision::Store)
                answered.insert(*m_current);
            else if (d.action == SaveDecision::Clear)
                answered.remove(*m_current);
        }
    const int total = ExamSheet::count(conn);
    conn.close();
    return QStringLiteral("您确定要交卷!\n\n未答题：%1道\n已标记：%2道").arg(total - int(answered.size())).arg(m_flags.size());
}

void CVornDlg::submitExam()
{
    if (m_submitted)
        return;
    m_timer2.stop();
    if (m_current)
        saveAnswer(*m_current);
    // A retry hands in what 交卷 handed in: the time waited for the server
    // is not used time, and a first attempt that reached the server is
    // recognised as this one.
    if (!m_submitRetry || !m_handIn)
        m_handIn = SubmitRequest{m_handover, m_keyEntries, m_countdown.usedSeconds(), Clock::now()};
    const SubmitRequest request = *m_handIn;
    // A failing write stores nothing (one transaction) and the answers stay
    // in the working table, so 交卷 can be pressed again.
    SubmitResult result;
    try {
        result = ExamSubmission::submit(request);
    } catch (const DbError &e) {
        if (CADOConn::serverLost()) {
            // The hand-in waits for the server: the answers stay on the
            // station and it is tried again every few seconds.
            if (!m_submitRetry) {
                showTimedMessage(this,
                                 QStringLiteral("与考试服务器的连接暂时中断，交卷还没有完成。\n"
                                                "您的答案都保存在本机，没有丢失；程序每5秒自动重试，"
                                                "连接恢复后即完成交卷。请不要关闭考试机。"),
                                 Caption::Tip, 6);
            }
            m_submitRetry = true;
            QTimer::singleShot(5000, this, [this] { submitExam(); });
            return;
        }
        const QString cause = e.alreadyReported() ? QString() : Db::explain(e.text()) + QStringLiteral("\n\n");
        MessageBox::show(this,
                         QStringLiteral("交卷没有成功，成绩尚未保存。\n") + cause
                             + QStringLiteral("您的答案都已保留。请报告监考人员，问题解决后再按“交卷”。"),
                         Caption::Tip);
        return;
    }
    m_submitted = true;
    m_submitRetry = false;
    if (result.outcome == SubmitResult::RegistrationGone) {
        MessageBox::warn(this, QStringLiteral("您的考试报名信息已被删除，本次成绩无法保存,将退出程序！"));
        dropExamTable();
        Nav::exitProgram(this);
        return;
    }
    if (result.outcome == SubmitResult::AlreadySubmitted) {
        MessageBox::warn(this, QStringLiteral("这场考试已在另一台考试机上交卷，本次答卷不再保存,将退出程序！"));
        dropExamTable();
        Nav::exitProgram(this);
        return;
    }
    if (MessageBox::confirm(this, ExamSubmission::resultMessage(m_handover, result))) {
        enterReview();
    } else {
        dropExamTable();
        Nav::exitProgram(this);
    }
}

void CVornDlg::enterReview()
{
    setShown({Submit}, false);
    setShown({Exit}, true);
    m_review = true;
    if (showQuestion(1))
        setCurrent(1);
    setShown({TimeLeft}, false);
    refreshMarks();
    repaint();
}

void CVornDlg::dropExamTable()
{
    closePicture();
    qDeleteAll(m_numbers);
    m_numbers.clear();
    for (int t = 0; t < 5; ++t)
        if (auto *h = control<QLabel>(ExamLayout::headingId(t)))
            h->clear();
    for (int id : kTypeControls)
        control(id)->hide();
    ExamSheet::drop();
}

void CVornDlg::goBack()
{
    dropExamTable();
    m_timer2.stop();
    ExamSitting::release(m_handover.registrationId);
    Nav::follow(this, Back);
}

void CVornDlg::quit()
{
    dropExamTable();
    m_timer2.stop();
    Nav::follow(this, Exit);
}

void CVornDlg::paintPictures(QPainter &painter)
{
    // The watermark, scaled with the window from its place on a 1024 x 768 screen.
    const double sx = m_w / 1024.0, sy = m_h / 768.0;
    BackgroundPicture mark{BackgroundPicture::Png, 253,
                           QPoint(int(40 * sx), int(450 * sy)), QSize(int(240 * sx), int(159.6 * sy))};
    paintPicture(painter, mark);
}

void CVornDlg::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

bool CVornDlg::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return ScreenBase::eventFilter(watched, event);
    if (type == QEvent::NonClientAreaMouseButtonDblClick || type == QEvent::NonClientAreaMouseButtonPress) {
        // The caption neither restores nor drags the window.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            return true;
    }
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return ScreenBase::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_F2) {
        if (type == QEvent::KeyPress && m_current)
            runCommand(this, [this] { toggleFlag(*m_current); });
        return true;
    }
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool space = key == Qt::Key_Space;
    if (!enter && !space && key != Qt::Key_Escape)
        return ScreenBase::eventFilter(watched, event);
    auto *essay = control<QPlainTextEdit>(Essay);
    if (type == QEvent::KeyPress && (enter || space) && (widget == essay || essay->isAncestorOf(widget)) && !essay->isReadOnly()) {
        // Inserted at the start of the selection, which stays as it was.
        QTextCursor c = essay->textCursor();
        const int at = c.selectionStart();
        c.setPosition(at);
        c.insertText(enter ? QStringLiteral("\n") : QStringLiteral(" "));
        essay->setTextCursor(c);
    }
    return true;
}
