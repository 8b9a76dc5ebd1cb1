#pragma once
// The examinee screen (dialog 105): an examinee finds the formal exams he is
// registered for by name, department and post, or lists the exams open for
// practice, and enters one. While idle it types out an introduction.
#include "app/ScreenBase.h"
#include "exam/ExamHandover.h"
#include "exam/ExamList.h"
#include "exam/ExamMode.h"

class DepartmentPostPicker;
class QTableWidget;

class CExamLogin : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 105.
    enum Ids : int {
        Name = 1151,
        Department = 1172,
        Post = 1175,
        List = 1177,
        Query = 1148, // 查询考试
        Clear = 1157,
        Mock = 1182, // 模拟考试
        Enter = 1162,
        Back = 1165,
        Exit = 1167,
    };

    explicit CExamLogin(QWidget *parent = nullptr);

    ExamMode examMode() const { return m_examMode; }
    int introStep() const { return m_introStep; }
    bool introPaused() const { return m_introPaused; }

    static const QString &introLine1();
    static const QString &introLine2();
    // The client area the introduction is typed into.
    static QRect introArea() { return QRect(QPoint(36, 26), QPoint(895, 114)); }

protected:
    void onTimer(int timer) override;
    void paintPictures(QPainter &painter) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QTableWidget *list() const;
    void queryFormalExams();
    void queryMockExams();
    void enterExam();
    void clearChoices();
    // A formal exam with a running sitting goes on (or is handed in when its
    // end passed); true when the choice was dealt with.
    bool resumeSitting(const ExamHandover &chosen, bool ended);
    void showRows(const QList<ExamListRow> &rows);
    // Shows a listing's stopping message; true when the program goes on.
    bool report(const ExamList::Result &result);
    void endWith(const QString &text);

    DepartmentPostPicker *m_picker = nullptr;
    ExamMode m_examMode = ExamMode::Mock;
    int m_introStep = 0;
    bool m_introPaused = false;
    QRect m_painting; // the part of the screen being painted
};
