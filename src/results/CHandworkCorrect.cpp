#include "results/CHandworkCorrect.h"

#include "app/ListRows.h"
#include "app/Command.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableWidget>

namespace {
constexpr int kStemColumn = 7;
} // namespace

CHandworkCorrect::CHandworkCorrect(QWidget *parent)
    : ScreenBase(129, KeyFilterMode::All, parent)
{
    QTableWidget *list = answers();
    // The stem stays visible: a person's essays differ in nothing else.
    for (int c = kStemColumn + 1; c < list->columnCount(); ++c)
        list->setColumnHidden(c, true);
    control(Award)->installEventFilter(this);

    connect(list, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) { tickChanged(item); });
    connect(control<QLineEdit>(Award), &QLineEdit::textChanged, this, [this] { correctPoints(); });
    onClick(Confirm, [this] { runCommand(this, [this] { confirm(); }); });
    for (int id : {Back, Exit})
        onClick(id, [this, id] { Nav::follow(this, id); });

    runCommand(this, [this] { fillList(); });
}

QTableWidget *CHandworkCorrect::answers() const
{
    return control<QTableWidget>(List);
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
    m_answers = Marking::waiting();
    QList<QStringList> rows;
    int position = 0;
    for (const EssayAnswer &a : std::as_const(m_answers))
        // One line of the stem in the list; the whole of it shows when ticked.
        rows << QStringList{QString::number(++position), a.name,   a.department, a.post,
                            a.examName,                  QStringLiteral("是"), a.stem.simplified(), a.reference,
                            a.answer,                    Marking::valueText(a), a.examineeNumber, QString::number(a.id)};
    ListRows::fill(answers(), rows, true);
    for (int r = 0; r < answers()->rowCount(); ++r)
        if (QTableWidgetItem *stem = answers()->item(r, kStemColumn))
            stem->setToolTip(m_answers.at(r).stem);
    tickChanged(nullptr);
}

void CHandworkCorrect::tickChanged(QTableWidgetItem *item)
{
    if (m_busy)
        return;
    QTableWidget *list = answers();
    if (item && item->column() == 0 && item->checkState() == Qt::Checked) {
        m_busy = true;
        for (int r = 0; r < list->rowCount(); ++r)
            if (r != item->row())
                ListRows::setChecked(list, r, false);
        m_busy = false;
    }
    m_ticked.reset();
    for (int r = 0; r < list->rowCount() && !m_ticked; ++r)
        if (ListRows::isChecked(list, r) && r < m_answers.size())
            m_ticked = m_answers.at(r);
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
    }
    setText(Award, QString());
    fillList();
    if (m_answers.isEmpty()) {
        MessageBox::show(this, QStringLiteral("手工批卷已全部完成，返回到上一窗口。"), Caption::Default);
        Nav::follow(this, Back);
    }
}
