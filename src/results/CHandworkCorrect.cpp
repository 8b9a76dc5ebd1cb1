#include "results/CHandworkCorrect.h"

#include "app/Command.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "app/ReportModel.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableView>

namespace {
constexpr int kStemColumn = 7;
} // namespace

CHandworkCorrect::CHandworkCorrect(QWidget *parent)
    : ScreenBase(129, KeyFilterMode::All, parent)
{
    auto *view = control<QTableView>(List);
    // The stem stays visible: a person's essays differ in nothing else.
    for (int c = kStemColumn + 1; c < answers()->columnCount(); ++c)
        view->setColumnHidden(c, true);
    answers()->setToolTips(kStemColumn, [this](int row) { return m_answers.at(row).stem; });
    control(Award)->installEventFilter(this);

    connect(answers(), &ReportModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &, const QList<int> &roles) {
                if (roles.contains(Qt::CheckStateRole))
                    runCommand(this, [this, row = from.row()] { tickChanged(row); });
            });
    connect(control<QLineEdit>(Award), &QLineEdit::textChanged, this, [this] { correctPoints(); });
    onClick(Confirm, [this] { runCommand(this, [this] { confirm(); }); });
    for (int id : {Back, Exit})
        onClick(id, [this, id] { Nav::follow(this, id); });

    runCommand(this, [this] { fillList(); });
}

ReportModel *CHandworkCorrect::answers() const
{
    return ReportModel::of(control<QTableView>(List));
}

bool CHandworkCorrect::eventFilter(QObject *watched, QEvent *event)
{
    // The points field takes digits, backspace and one ".".
    if (watched == control(Award) && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString typed = key->text();
        if (typed.size() == 1 && typed.at(0).isPrint()
            && !Marking::acceptsChar(text(Award), typed.at(0)))
            return true;
    }
    return ScreenBase::eventFilter(watched, event);
}

void CHandworkCorrect::fillList()
{
    // Emptied first, so that two lists of a hundred thousand never meet in
    // memory; a read that fails leaves it empty and nothing ticked.
    answers()->clear();
    m_answers = EssayList();
    tickChanged(-1);
    m_answers = Marking::waiting();
    answers()->show(
        m_answers.size(),
        [this](int r) {
            const EssayAnswer a = m_answers.at(r);
            // One line of the stem in the list; the whole of it shows when
            // ticked. The reference and the answer are read for that row
            // only: their hidden columns stay empty.
            return QStringList{QString::number(r + 1),
                               a.name,
                               a.department,
                               a.post,
                               a.examName,
                               QStringLiteral("是"),
                               a.stem.simplified(),
                               a.reference,
                               a.answer,
                               Marking::valueText(a),
                               a.examineeNumber,
                               QString::number(a.id)};
        },
        true);
    tickChanged(-1);
}

void CHandworkCorrect::tickChanged(int row)
{
    if (m_busy)
        return;
    ReportModel *list = answers();
    if (list->isChecked(row)) {
        m_busy = true;
        for (int r = 0; r < list->count(); ++r)
            if (r != row)
                list->setChecked(r, false);
        m_busy = false;
    }
    std::optional<EssayAnswer> ticked;
    for (int r = 0; r < list->count() && !ticked; ++r)
        if (list->isChecked(r) && r < m_answers.size())
            ticked = m_answers.at(r);
    // A row marked meanwhile shows no texts; confirming it adds nothing.
    if (ticked)
        Marking::readTexts(&*ticked);
    m_ticked = ticked;
    setText(Stem, m_ticked ? m_ticked->stem : QString());
    setText(Reference, m_ticked ? m_ticked->reference : QString());
    setText(Answer, m_ticked ? m_ticked->answer : QString());
    setText(Value, m_ticked ? Marking::valueText(*m_ticked) : QString());
}

void CHandworkCorrect::correctPoints()
{
    const QString typed = text(Award);
    const QString fixed = Marking::corrected(typed);
    if (fixed != typed) {
        auto *edit = control<QLineEdit>(Award);
        const QSignalBlocker block(edit);
        edit->setText(fixed);
    }
}

void CHandworkCorrect::confirm()
{
    if (text(Stem).isEmpty() || !m_ticked) {
        MessageBox::show(this, QStringLiteral("请选择选项。"), Caption::Remind);
        return;
    }
    // The value comes from the exam's sealed paper; without one nothing
    // tells how much the answer may earn.
    const QString noValue = QStringLiteral("该考试的试卷已不存在或已被篡改，无法核实本题分值，不能批改！");
    const QString aboveValue = QStringLiteral("本题批改给分不能大于分值！");
    if (!m_ticked->value) {
        MessageBox::warn(this, noValue);
        return;
    }
    const double award = Marking::award(text(Award));
    if (award > *m_ticked->value) {
        MessageBox::show(this, aboveValue, Caption::Remind);
        return;
    }
    if (!MessageBox::confirm(this, QString::asprintf("您批改的%.1f分将被记入该考生的成绩，是否确定？", award)))
        return;
    switch (Marking::mark(*m_ticked, award)) {
    case Marking::Outcome::Marked:
        break;
    case Marking::Outcome::RegistrationMissing:
        MessageBox::show(this, QStringLiteral("该考生的考试记录已不存在，无法记入成绩！"), Caption::Tip);
        return;
    case Marking::Outcome::NoSealedValue:
        MessageBox::warn(this, noValue);
        return;
    case Marking::Outcome::AboveValue:
        MessageBox::show(this, aboveValue, Caption::Remind);
        return;
    case Marking::Outcome::AlreadyMarked:
        MessageBox::show(this, QStringLiteral("本题已由其他批卷人批改，本次给分未记入。"), Caption::Remind);
        break;
    }
    setText(Award, QString());
    fillList();
    if (m_answers.isEmpty()) {
        MessageBox::show(this, QStringLiteral("手工批卷已全部完成，返回到上一窗口。"), Caption::Default);
        Nav::follow(this, Back);
    }
}
