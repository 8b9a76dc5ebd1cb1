#pragma once
// Exam management (dialog 116): every exam, ending due ones, deleting one
// with everything stored for it, and the registrations of the remembered
// exam with their removal and the registering of one further person.
#include "admin/ExamManagement.h"
#include "app/ScreenBase.h"

#include <QList>

#include <optional>

class QTableWidget;
class ReportModel;
class QTableWidgetItem;

class CExamManagement : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 116.
    enum Ids : int {
        Exams = 1156,
        DeleteExam = 1139,
        ViewExaminees = 1140,
        ReloadExams = 1150,
        CreateExam = 1154,
        ShownName = 1169, // the exam whose registrations are listed
        Registrations = 1159,
        RemoveRegistrations = 1142,
        Names = 1164,
        Department = 1171,
        Post = 1180,
        Register = 1145, // 添加考生
        ClearChoice = 1147,
        Back = 1174,
        Exit = 1161,
        ExtendTime = 1190,     // 延长时间 of a running exam
        RestartSitting = 1191, // 重新开始
    };

    explicit CExamManagement(QWidget *parent = nullptr);

    // The remembered exam (number empty = none).
    QString rememberedNumber() const { return m_number; }

private:
    QTableWidget *exams() const;
    ReportModel *registrations() const;
    bool refreshExams();
    void reloadExams();
    void chooseExam(QTableWidgetItem *changed);
    void chooseExamineeName();
    void deleteExam();
    void viewExaminees();
    void removeRegistrations();
    void registerExaminee();
    void clearManualChoice();
    void showRegistrations(QList<ListedRegistration> rows);
    void fail(const QString &message);
    // The one checked registration with a running sitting; none (said why)
    // otherwise.
    std::optional<ListedRegistration> chosenSitting();
    void extendTime();
    void restartSitting();

    QString m_number;
    QString m_name;
    QString m_passMark;
    bool m_choosing = false;
    QList<ListedRegistration> m_listed; // the registrations shown, in list order
};
