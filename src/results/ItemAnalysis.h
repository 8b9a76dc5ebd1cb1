#pragma once
// Item analysis of one exam: per bank question drawn, how many examinees got
// it, its facility, its discrimination, the options chosen and the reasons it
// looks wrong; for the exam, the score statistics, the pass rate, a histogram
// and, where every examinee got the same questions, the internal consistency.
// Read from the sittings kept after submission and the registrations' sealed
// scores. No widgets.
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// One question of an examinee's sitting, scored.
struct ItemAnswer
{
    QString type;
    QString bankId; // with the type, names the bank question
    QString stem;
    QString reference;
    double points = 0;
    std::optional<QString> answer;
    // nullopt: not known for this question (one of several essays, whose
    // marks the registration holds only as a sum).
    std::optional<double> score;
};

struct ExamineeRecord
{
    double total = 0; // the registration's score
    bool passed = false;
    QList<ItemAnswer> items; // empty: no sitting kept (an exam taken before sittings were kept)
};

struct AnalysisInput
{
    QString examName;
    QString paperName;
    double fullMarks = 0; // the paper's 满分; 0 when the paper is gone
    QString passMark;     // as stored with the results
    int waiting = 0;      // results left out: essays still waiting for marking
    int withoutSitting = 0;
    int tampered = 0;     // sittings left out: a row fails its integrity code
    QList<ExamineeRecord> examinees;
};

struct ItemStats
{
    QString type;
    QString bankId;
    QString stem;
    QString reference;
    double points = 0;
    int count = 0;   // examinees whose score on it is known
    double facility = 0; // mean share of its points earned
    std::optional<double> discrimination; // none below 3 examinees or without spread
    bool choice = false; // 单选题, 判断题, 多选题: the options below mean something
    std::array<int, 5> options{}; // examinees who chose A..E
    int unanswered = 0;
    QStringList flags; // reasons it looks wrong, in Chinese
};

struct HistogramBin
{
    double from = 0;
    double to = 0; // the last bin includes its upper edge
    int count = 0;
};

struct ExamStats
{
    int examinees = 0;
    double mean = 0;
    double median = 0;
    double deviation = 0; // population standard deviation
    double lowest = 0;
    double highest = 0;
    int passed = 0;
    double passRate = 0;
    QList<HistogramBin> histogram;
    std::optional<double> consistency; // KR-20 / Cronbach's alpha
    QString consistencyName;           // "KR-20" or "Cronbach α"
};

namespace ItemAnalysis {

// Flag thresholds.
inline constexpr double kHardFacility = 0.10;
inline constexpr double kEasyFacility = 0.90;
inline constexpr double kLowDiscrimination = 0.20;

struct Report
{
    QString examName;
    QString paperName;
    double fullMarks = 0;
    QString passMark;
    int waiting = 0;
    int withoutSitting = 0;
    int tampered = 0;
    ExamStats exam;
    QList<ItemStats> items; // in type order, then by bank ID
};

// The scored registrations of the exam with their submitted sittings.
// Throws DbError.
AnalysisInput load(const QString &examName);
Report analyse(const AnalysisInput &input);

// Numbers as the screen and the reports show them: "0.83", "-0.12"; "—"
// for none.
QString ratioText(const std::optional<double> &value);

} // namespace ItemAnalysis
