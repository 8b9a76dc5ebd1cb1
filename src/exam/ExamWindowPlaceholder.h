#pragma once
// Stands in for the exam window until it is built: takes the hand-over of
// the examinee screen, shows how many questions were drawn, and leads back
// to the examinee screen, dropping the exam table.
#include "app/ScreenBase.h"
#include "exam/ExamHandover.h"

class ExamWindowPlaceholder : public ScreenBase
{
    Q_OBJECT
public:
    explicit ExamWindowPlaceholder(QWidget *parent = nullptr);
    const ExamHandover &handover() const { return m_handover; }

private:
    ExamHandover m_handover;
};
