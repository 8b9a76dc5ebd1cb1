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

constexpr int kName = 1330, kSubject = 1331, kGroup = 1332, kClearOptions = 1256;
constexpr int kSingle = 1211, kMulti = 1212, kAll = 1214;
constexpr int kShowTotals = 1124, kTotalCount = 1126, kFullMarks = 1130;
constexpr int kSave = 1125, kFinish = 1135, kBack = 1132;

const CSetPaper::TypeControls kTypes[5] = {
    {1334, 1254, 1255, 1252, 1253, 1259, 1258, 1257, 1115, 1127, 1112, 1113},
    {1333, 1100, 1101, 1260, 1261, 1102, 1104, 1103, 1119, 1128, 1116, 1117},
    {1340, 1341, 1342, 1343, 1344, 1345, 1348, 1349, 1074, 1351, 1346, 1350},
    {1251, 1107, 1108, 1105, 1106, 1109, 1111, 1110, 1123, 1129, 1120, 1121},
    {1262, 1136, 1137, 1133, 1134, 1138, 1142, 1143, 1131, 1139, 1140, 1144},
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
    runCommand(this, [this] { control<QComboBox>(kSubject)->addItems(Subjects::readSubjects()); });
    control<QComboBox>(kGroup)->addItems(SettingsFile().audienceGroupList());
    control<QLineEdit>(kName)->setMaxLength(Schema::MaxText);

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
    connect(control<QLineEdit>(kName), &QLineEdit::textChanged, this, [this] { nameChanged(); });
    connect(control<QComboBox>(kSubject), &QComboBox::currentIndexChanged, this, [this] { subjectChanged(); });
    connect(control<QComboBox>(kGroup), &QComboBox::currentIndexChanged, this, [this] { recomputeAllAvailable(); });
    onClick(kSingle, [this] { setOption(SubjectOption::Single); });
    onClick(kMulti, [this] { setOption(SubjectOption::Multi); });
    onClick(kAll, [this] { setOption(SubjectOption::All); });
    onClick(kShowTotals, [this] { showTotals(); });
    onClick(kSave, [this] { runCommand(this, [this] { save(); }); });
    onClick(kFinish, [this] { runCommand(this, [this] { finishMulti(); }); });
    onClick(kClearOptions, [this] { clearOptions(); });
    onClick(kBack, [this] { back(); });

    control<QRadioButton>(kSingle)->setChecked(true);
    m_option = SubjectOption::Single;
    resetGroups();
}

std::optional<QString> CSetPaper::ruleSubject() const
{
    if (m_option == SubjectOption::All)
        return std::nullopt;
    return text(kSubject);
}

void CSetPaper::setLocked(int type, bool locked)
{
    control<QLineEdit>(kTypes[type].points)->setReadOnly(locked);
}

void CSetPaper::setOption(const QString &option)
{
    m_option = option;
    auto *subjects = control<QComboBox>(kSubject);
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
    control<QComboBox>(kSubject)->setCurrentIndex(-1);
    control<QComboBox>(kGroup)->setCurrentIndex(-1);
    for (int t = 0; t < 5; ++t) {
        clearInputs(t);
        setLocked(t, false);
        setText(kTypes[t].points, QString());
        clearType(t);
    }
    control(kFinish)->hide();
}

void CSetPaper::nameChanged()
{
    // Under 全科 the subject list stays off: no rule of it names a subject.
    control(kSubject)->setEnabled(m_option != SubjectOption::All);
    setText(kTotalCount, QString());
    setText(kFullMarks, QString());
    resetGroups();
}

void CSetPaper::subjectChanged()
{
    recomputeAllAvailable();
    const QString subject = text(kSubject);
    const QString name = text(kName);
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
    const QString subject = text(kSubject), group = text(kGroup), difficulty = text(c.difficulty);
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
    switch (draft.add(ruleSubject(), text(kGroup), text(c.difficulty), text(c.points), text(c.draw))) {
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
    control(kSubject)->setEnabled(false);
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
    setText(kTotalCount, QString::number(questions));
    setText(kFullMarks, QString::asprintf("%.1f", marks));
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
    const QString name = text(kName);
    if (name.isEmpty()) {
        MessageBox::tip(this, QStringLiteral("请输入的试卷名称！"));
        return;
    }
    const Paper paper = composePaper(name, m_option, text(kSubject), m_drafts, Clock::formatSlash(Clock::now()));

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
                control(kName)->setEnabled(true);
                setText(kName, QString());
                control(kSubject)->setEnabled(true);
                control(kClearOptions)->show();
                m_multi = false;
                return;
            }
            control(kName)->setEnabled(false);
            for (int id : {kSingle, kMulti, kAll})
                control(id)->setEnabled(false);
            control(kClearOptions)->hide();
        }
    }

    PaperStore::savePaper(conn, paper, multi);

    if (!multi) {
        MessageBox::tip(this, QStringLiteral("组卷成功！"));
        setText(kName, QString());
        emptyAndUnlockPoints();
    } else if (stored >= 1) {
        control(kFinish)->show();
        if (!MessageBox::confirm(this, kLaterSubjectSaved.arg(stored + 1))) {
            abandonMulti();
            return;
        }
        control(kName)->setEnabled(false);
        control(kClearOptions)->hide();
    }
    // The points boxes keep their values and locks: every subject of a 多科
    // paper gets the same points per question for a type.
    for (int t = 0; t < 5; ++t)
        clearRule(t);
    control<QComboBox>(kSubject)->setCurrentIndex(-1);
    control<QComboBox>(kGroup)->setCurrentIndex(-1);
    control(kSubject)->setEnabled(true);
}

void CSetPaper::abandonMulti()
{
    const QString name = text(kName);
    runCommand(this, [&] {
        CADOConn conn;
        PaperStore::deleteSubjectRows(conn, name);
    });
    resetGroups();
    control(kName)->setEnabled(true);
    setText(kName, QString());
    control(kSubject)->setEnabled(true);
    for (int id : {kSingle, kMulti, kAll})
        control(id)->setEnabled(true);
    control(kClearOptions)->show();
    m_multi = false;
}

void CSetPaper::finishMulti()
{
    CADOConn conn;
    PaperStore::finishMultiSubjectPaper(conn, text(kName), Clock::formatSlash(Clock::now()));
    MessageBox::tip(this, QStringLiteral("完成多科组卷！"));
    control(kName)->setEnabled(true);
    setText(kName, QString());
    control(kFinish)->hide();
    control(kClearOptions)->show();
    for (int id : {kSingle, kMulti, kAll})
        control(id)->setEnabled(true);
    m_multi = false;
}

void CSetPaper::clearOptions()
{
    const bool wasMulti = m_option == SubjectOption::Multi;
    setText(kName, QString());
    control<QRadioButton>(kSingle)->setChecked(true);
    m_option = SubjectOption::Single;
    if (wasMulti)
        emptyAndUnlockPoints();
    control(kSubject)->setEnabled(true);
    setText(kTotalCount, QString());
    setText(kFullMarks, QString());
    resetGroups();
}

void CSetPaper::back()
{
    if (m_multi) {
        MessageBox::tip(this, QStringLiteral("多科组卷未完成，不能退出"));
        return;
    }
    Nav::switchScreen(this, ScreenId::TestManage);
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
