#include "exam/ExamWindowPlaceholder.h"

#include "app/Navigation.h"
#include "exam/ExamEntry.h"

#include <QLabel>
#include <QPushButton>

ExamWindowPlaceholder::ExamWindowPlaceholder(QWidget *parent)
    : ScreenBase(0, KeyFilterMode::All, parent), m_handover(ExamHandoverSlot::take().value_or(ExamHandover{}))
{
    setWindowTitle(Nav::captionOf(ScreenId::VornDlg));
    setProperty("screenClass", Nav::classOf(ScreenId::VornDlg));
    setFixedSize(480, 300);
    auto *label = new QLabel(QStringLiteral("%1\n共抽取%2道考题。").arg(m_handover.examName).arg(m_handover.questionCount()),
                             this);
    label->setObjectName(QStringLiteral("drawn"));
    label->setGeometry(40, 90, 400, 60);
    label->setAlignment(Qt::AlignCenter);
    auto *back = new QPushButton(QStringLiteral("返回"), this);
    back->setObjectName(QStringLiteral("back"));
    back->setAutoDefault(false);
    back->setGeometry(190, 200, 100, 30);
    connect(back, &QPushButton::clicked, this, [this] {
        ExamEntry::dropSheet();
        Nav::switchScreen(this, ScreenId::ExamLogin);
    });
}
