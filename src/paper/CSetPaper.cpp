#include "paper/CSetPaper.h"

#include "app/Command.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "store/CADOConn.h"
#include "store/QuestionType.h"
#include "store/Schema.h"
#include "store/Clock.h"
#include "store/SettingsFile.h"
#include "store/Subjects.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace {


using enum CSetPaper::Ids;
const CSetPaper::TypeControls kTypes[5] = {
    {SingleDifficulty, SingleAvailable, SingleSubtotal, SinglePoints, SingleDraw, SingleTotal, SingleInputsClear, SingleConfirm, SingleDisplay, SingleCountLabel, SingleCount, SingleTypeClear},
    {JudgeDifficulty, JudgeAvailable, JudgeSubtotal, JudgePoints, JudgeDraw, JudgeTotal, JudgeInputsClear, JudgeConfirm, JudgeDisplay, JudgeCountLabel, JudgeCount, JudgeTypeClear},
    {BlankDifficulty, BlankAvailable, BlankSubtotal, BlankPoints, BlankDraw, BlankTotal, BlankInputsClear, BlankConfirm, BlankDisplay, BlankCountLabel, BlankCount, BlankTypeClear},
    {MultipleDifficulty, MultipleAvailable, MultipleSubtotal, MultiplePoints, MultipleDraw, MultipleTotal, MultipleInputsClear, MultipleConfirm, MultipleDisplay, MultipleCountLabel, MultipleCount, MultipleTypeClear},
    {EssayDifficulty, EssayAvailable, EssaySubtotal, EssayPoints, EssayDraw, EssayTotal, EssayInputsClear, EssayConfirm, EssayDisplay, EssayCountLabel, EssayCount, EssayTypeClear},
};

const QString kFirstSubjectSaved =
    QStringLiteral("多科第1个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'。");
const QString kLaterSubjectSaved =
    QStringLiteral("多科第%1个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'；\n完成组卷按'是'后再请按“多科完成”。");

// Digits and one "."; the filter of the points box.
class PointsValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        QString seen;
        for (QChar c : input) {
            if (!PaperRules::acceptsPointsChar(seen, c))
                return Invalid;
            seen += c;
        }
        return Acceptable;
    }
};

} // namespace

const CSetPaper::TypeControls &CSetPaper::controlsOf(int type)
{
    return kTypes[type];
}

CSetPaper::CSetPaper(QWidget *parent)
    : ScreenBase(115, KeyFilterMode::All, parent)
{
    runCommand(this, [this] { control<QComboBox>(Subject)->addItems(Subjects::readSubjects()); });
    control<QComboBox>(Group)->addItems(SettingsFile().audienceGroupList());
    control<QLineEdit>(Name)->setMaxLength(Schema::MaxText);

    for (int t = 0; t < 5; ++t) {
        const TypeControls &c = kTypes[t];
        auto *points = control<QLineEdit>(c.points);
        points->setValidator(new PointsValidator(points));
        points->setMaxLength(9);
        auto *draw = control<QLineEdit>(c.draw);
        draw->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), draw));
        draw->setMaxLength(9);
        connect(points, &QLineEdit::textEdited, this, [this, t] { pointsEdited(t); });
        connect(draw, &QLineEdit::textEdited, this, [this, t] { drawEdited(t); });
        connect(control<QComboBox>(c.difficulty), &QComboBox::currentIndexChanged, this,
                [this, t] { recomputeAvailable(t); });
        onClick(c.confirm, [this, t] { confirmRule(t); });
        onClick(c.inputsClear, [this, t] { clearInputs(t); });
        onClick(c.typeClear, [this, t] { clearType(t); });
    }
    connect(control<QLineEdit>(Name), &QLineEdit::textChanged, this, [this] { nameChanged(); });
    connect(control<QComboBox>(Subject), &QComboBox::currentIndexChanged, this, [this] { subjectChanged(); });
    connect(control<QComboBox>(Group), &QComboBox::currentIndexChanged, this, [this] { recomputeAllAvailable(); });
    onClick(SingleSubject, [this] { setOption(SubjectOption::Single); });
    onClick(MultiSubject, [this] { setOption(SubjectOption::Multi); });
    onClick(AllSubjects, [this] { setOption(SubjectOption::All); });
    onClick(ShowTotals, [this] { showTotals(); });
    onClick(Save, [this] { runCommand(this, [this] { save(); }); });
    onClick(Finish, [this] { runCommand(this, [this] { finishMulti(); }); });
    onClick(ClearOptions, [this] { clearOptions(); });
    onClick(Back, [this] { back(); });

    control<QRadioButton>(SingleSubject)->setChecked(true);
    m_option = SubjectOption::Single;
    resetGroups();
}

std::optional<QString> CSetPaper::ruleSubject() const
{
    if (m_option == SubjectOption::All)
        return std::nullopt;
    return text(Subject);
}

void CSetPaper::setLocked(int type, bool locked)
{
    control<QLineEdit>(kTypes[type].points)->setReadOnly(locked);
}

void CSetPaper::setOption(const QString &option)
{
    m_option = option;
    auto *subjects = control<QComboBox>(Subject);
    if (option == SubjectOption::All) {
        subjects->setCurrentIndex(-1);
        subjects->setEnabled(false);
    } else {
        subjects->setEnabled(true);
    }
    resetGroups();
}

void CSetPaper::resetGroups()
{
    control<QComboBox>(Subject)->setCurrentIndex(-1);
    control<QComboBox>(Group)->setCurrentIndex(-1);
    for (int t = 0; t < 5; ++t) {
        clearInputs(t);
        setLocked(t, false);
        setText(kTypes[t].points, QString());
        clearType(t);
    }
    control(Finish)->hide();
}

void CSetPaper::nameChanged()
{
    // Under 全科 the subject list stays off: no rule of it names a subject.
    control(Subject)->setEnabled(m_option != SubjectOption::All);
    setText(TotalCount, QString());
    setText(FullMarks, QString());
    resetGroups();
}

void CSetPaper::subjectChanged()
{
    recomputeAllAvailable();
    const QString subject = text(Subject);
    const QString name = text(Name);
    if (m_option != SubjectOption::Multi || name.isEmpty() || subject.isEmpty())
        return;
    runCommand(this, [&] {
        CADOConn conn;
        for (const PaperSubject &row : PaperStore::subjectRows(conn, name))
            if (row.subject == subject) {
                MessageBox::tip(this, QStringLiteral("此科目已经组卷！"));
                break;
            }
    });
}

void CSetPaper::recomputeAvailable(int type)
{
    const TypeControls &c = kTypes[type];
    const bool all = m_option == SubjectOption::All;
    const QString subject = text(Subject), group = text(Group), difficulty = text(c.difficulty);
    setText(c.available, QString());
    if (group.isEmpty() || difficulty.isEmpty() || (!all && subject.isEmpty()))
        return;
    runCommand(this, [&] {
        CADOConn conn;
        const int n = PaperStore::availableCount(conn, QuestionType::names().at(type), subject, group, difficulty, all);
        setText(c.available, QString::number(n));
    });
}

void CSetPaper::recomputeAllAvailable()
{
    for (int t = 0; t < 5; ++t)
        recomputeAvailable(t);
}

void CSetPaper::pointsEdited(int type)
{
    const TypeControls &c = kTypes[type];
    auto *box = control<QLineEdit>(c.points);
    const QString normal = PaperRules::normalisePoints(box->text());
    if (normal != box->text())
        box->setText(normal);
    setText(c.subtotal, PaperRules::subtotal(text(c.points), text(c.draw)));
}

void CSetPaper::drawEdited(int type)
{
    const TypeControls &c = kTypes[type];
    const QString draw = text(c.draw);
    const qint64 count = draw.toLongLong();
    if (count == 0) {
        MessageBox::tip(this, QStringLiteral("抽取题数不能为0！"));
        setText(c.draw, QString());
    } else if (text(c.available).isEmpty()) {
        MessageBox::tip(this, QStringLiteral("题数不能为空！"));
        setText(c.draw, QString());
    } else if (text(c.available).toLongLong() < count) {
        MessageBox::tip(this, QStringLiteral("抽取题数不能大于总题数！"));
        setText(c.draw, QString());
    }
    setText(c.subtotal, PaperRules::subtotal(text(c.points), text(c.draw)));
}

void CSetPaper::confirmRule(int type)
{
    const TypeControls &c = kTypes[type];
    TypeDraft &draft = m_drafts[type];
    switch (draft.add(ruleSubject(), text(Group), text(c.difficulty), text(c.points), text(c.draw))) {
    case TypeDraft::Result::MissingData:
        MessageBox::tip(this, QStringLiteral("数据不能为空！"));
        return;
    case TypeDraft::Result::BadName:
        MessageBox::tip(this, QStringLiteral("科目和对象名称中不能含有“:;,=<>。”这些字符，请在设置中修改！"));
        return;
    case TypeDraft::Result::SubjectDiffers:
        MessageBox::tip(this, QStringLiteral("科目选择应该相同！"));
        return;
    case TypeDraft::Result::Duplicate:
        MessageBox::tip(this, QStringLiteral("一个对象同一难度只能选择一次！"));
        return;
    case TypeDraft::Result::ZeroPoints:
        MessageBox::tip(this, QStringLiteral("分值不能为0！"));
        return;
    case TypeDraft::Result::Added:
        break;
    }
    setText(c.display, draft.shownText());
    setText(c.count, QString::number(draft.questionCount()));
    setText(c.total, draft.totalText());
    control(Subject)->setEnabled(false);
    setLocked(type, true);
    setText(c.draw, QString());
    setText(c.available, QString());
    setText(c.subtotal, QString());
    control<QComboBox>(c.difficulty)->setCurrentIndex(-1);
    for (int id : {c.countLabel, c.count, c.typeClear})
        control(id)->show();
}

void CSetPaper::clearInputs(int type)
{
    const TypeControls &c = kTypes[type];
    if (!control<QLineEdit>(c.points)->isReadOnly())
        setText(c.points, QString());
    for (int id : {c.draw, c.available, c.subtotal})
        setText(id, QString());
    control<QComboBox>(c.difficulty)->setCurrentIndex(-1);
}

void CSetPaper::clearType(int type)
{
    setLocked(type, false);
    setText(kTypes[type].points, QString());
    clearRule(type);
}

void CSetPaper::clearRule(int type)
{
    const TypeControls &c = kTypes[type];
    m_drafts[type].clear();
    for (int id : {c.display, c.total, c.count})
        setText(id, QString());
    for (int id : {c.countLabel, c.count, c.typeClear})
        control(id)->hide();
}

void CSetPaper::showTotals()
{
    qint64 questions = 0;
    double marks = 0;
    for (const TypeControls &c : kTypes) {
        questions += text(c.count).toLongLong();
        marks += text(c.total).toDouble();
    }
    setText(TotalCount, QString::number(questions));
    setText(FullMarks, QString::asprintf("%.1f", marks));
}

void CSetPaper::emptyAndUnlockPoints()
{
    for (int t = 0; t < 5; ++t) {
        setLocked(t, false);
        setText(kTypes[t].points, QString());
    }
}

void CSetPaper::save()
{
    const QString name = text(Name);
    if (name.isEmpty()) {
        MessageBox::tip(this, QStringLiteral("请输入的试卷名称！"));
        return;
    }
    const Paper paper = composePaper(name, m_option, text(Subject), m_drafts, Clock::formatSlash(Clock::now()));

    CADOConn conn;
    if (PaperStore::nameExists(conn, name)) {
        MessageBox::tip(this, QStringLiteral("您输入的试卷名称已存在！"));
        return;
    }
    // Checked before the 多科 question, which would otherwise announce a
    // subject as composed and then store nothing.
    if (std::all_of(paper.types.begin(), paper.types.end(), [](const QString &t) { return t == TypeRule::Empty; })) {
        MessageBox::tip(this, QStringLiteral("请输入组卷数据！"));
        return;
    }
    const bool multi = m_option == SubjectOption::Multi;
    const int stored = multi ? int(PaperStore::subjectRows(conn, name).size()) : 0;
    if (multi) {
        m_multi = true;
        if (stored == 0) {
            if (!MessageBox::confirm(this, kFirstSubjectSaved)) {
                resetGroups();
                control(Name)->setEnabled(true);
                setText(Name, QString());
                control(Subject)->setEnabled(true);
                control(ClearOptions)->show();
                m_multi = false;
                return;
            }
            control(Name)->setEnabled(false);
            for (int id : {SingleSubject, MultiSubject, AllSubjects})
                control(id)->setEnabled(false);
            control(ClearOptions)->hide();
        }
    }

    PaperStore::savePaper(conn, paper, multi);

    if (!multi) {
        MessageBox::tip(this, QStringLiteral("组卷成功！"));
        setText(Name, QString());
        emptyAndUnlockPoints();
    } else if (stored >= 1) {
        control(Finish)->show();
        if (!MessageBox::confirm(this, kLaterSubjectSaved.arg(stored + 1))) {
            abandonMulti();
            return;
        }
        control(Name)->setEnabled(false);
        control(ClearOptions)->hide();
    }
    // The points boxes keep their values and locks: every subject of a 多科
    // paper gets the same points per question for a type.
    for (int t = 0; t < 5; ++t)
        clearRule(t);
    control<QComboBox>(Subject)->setCurrentIndex(-1);
    control<QComboBox>(Group)->setCurrentIndex(-1);
    control(Subject)->setEnabled(true);
}

void CSetPaper::abandonMulti()
{
    const QString name = text(Name);
    runCommand(this, [&] {
        CADOConn conn;
        PaperStore::deleteSubjectRows(conn, name);
    });
    resetGroups();
    control(Name)->setEnabled(true);
    setText(Name, QString());
    control(Subject)->setEnabled(true);
    for (int id : {SingleSubject, MultiSubject, AllSubjects})
        control(id)->setEnabled(true);
    control(ClearOptions)->show();
    m_multi = false;
}

void CSetPaper::finishMulti()
{
    CADOConn conn;
    PaperStore::finishMultiSubjectPaper(conn, text(Name), Clock::formatSlash(Clock::now()));
    MessageBox::tip(this, QStringLiteral("完成多科组卷！"));
    control(Name)->setEnabled(true);
    setText(Name, QString());
    control(Finish)->hide();
    control(ClearOptions)->show();
    for (int id : {SingleSubject, MultiSubject, AllSubjects})
        control(id)->setEnabled(true);
    m_multi = false;
}

void CSetPaper::clearOptions()
{
    const bool wasMulti = m_option == SubjectOption::Multi;
    setText(Name, QString());
    control<QRadioButton>(SingleSubject)->setChecked(true);
    m_option = SubjectOption::Single;
    if (wasMulti)
        emptyAndUnlockPoints();
    control(Subject)->setEnabled(true);
    setText(TotalCount, QString());
    setText(FullMarks, QString());
    resetGroups();
}

void CSetPaper::back()
{
    if (m_multi) {
        MessageBox::tip(this, QStringLiteral("多科组卷未完成，不能退出"));
        return;
    }
    Nav::follow(this, Back);
}

void CSetPaper::reject()
{
    back();
}

void CSetPaper::closeEvent(QCloseEvent *event)
{
    event->ignore();
    back();
}
