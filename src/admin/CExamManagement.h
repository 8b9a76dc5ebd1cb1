#pragma once
// Exam management (dialog 116): every exam, ending due ones, deleting one
// with everything stored for it, and the registrations of the remembered
// exam with their removal and the registering of one further person.
#include "admin/ExamManagement.h"
#include "app/ScreenBase.h"

#include <QHash>

#include <optional>

class QTableWidget;
class QTableWidgetItem;

class CExamManagement : public ScreenBase
{
    Q_OBJECT
public:
    explicit CExamManagement(QWidget *parent = nullptr);

    // The remembered exam (number empty = none).
    QString rememberedNumber() const { return m_number; }
    QString rememberedName() const { return m_name; }

private:
    QTableWidget *exams() const;
    QTableWidget *registrations() const;
    bool refreshExams();
    void reloadExams();
    void chooseExam(QTableWidgetItem *changed);
    void chooseExamineeName();
    void deleteExam();
    void viewExaminees();
    void removeRegistrations();
    void registerExaminee();
    void clearManualChoice();
    void showRegistrations(const QList<ListedRegistration> &rows);
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
    QHash<int, ListedRegistration> m_listed; // the registrations shown, by ID
};
