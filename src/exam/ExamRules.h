#pragma once
// Rules of the running exam that need no window: scoring with the blank
// rule, what saveAnswer stores for each type, the blanks shown inside the
// stem, the countdown, and the window's layout from the screen's width
// and height.
#include <QList>
#include <QRect>
#include <QString>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace ExamScoring {

// 分值 as a decimal number; a text that is not a number counts 0.
double pointsOf(const QString &text);

// Half points for one right blank of a two-blank question.
bool halfByBlankRule(const QString &answer, const QString &reference);

// Points a question earns; essays earn nothing here (marked by hand).
double earned(const QString &type, const QString &answer, const QString &reference, double points);

// The review mark of a number in the overview; Essay: waiting for the hand
// marking.
enum class Mark { None, Answered, Unanswered, Essay, Right, Half, Wrong };
Mark reviewMark(const QString &type, const std::optional<QString> &answer, const QString &reference);

// The answer key split into one entry per question ("|" ends each).
QStringList keyEntries(const QString &answerKey);

} // namespace ExamScoring

// What the window shows of an answer when saveAnswer runs.
struct ShownAnswer
{
    QString type;
    int single = -1; // 0..4 for A..E, -1 none checked
    int judge = -1;  // 0 正确 (A), 1 错误 (B), -1 none
    QString blank1, blank2;
    std::array<bool, 5> multi{};
    QString essay;
};

struct SaveDecision
{
    enum Action { Keep, Store, Clear } action = Keep;
    QString text;
    bool operator==(const SaveDecision &) const = default;
};

namespace AnswerRules {
// By type: a single letter of a 多选题 and an empty essay keep what is
// stored; emptied blanks clear the answer.
SaveDecision decide(const ShownAnswer &shown);
// The blank values of a stored answer: before and after its first "#".
std::pair<QString, QString> splitBlanks(const QString &answer);
// "【", "】" and "#" removed from what is typed into a blank box.
QString cleanBlankInput(const QString &text);
} // namespace AnswerRules

// The stem of a blank question with the values shown between the markers.
class BlankStem
{
public:
    using Range = std::pair<int, int>; // first, last + 1; empty when equal

    explicit BlankStem(QString text = QString()) : m_text(std::move(text)) {}

    static int markerCount(const QString &stem);

    // Writes blank k's value (one space each side) between its markers.
    void setValue(int k, const QString &value);

    const QString &text() const { return m_text; }
    Range range(int k) const { return m_ranges[k - 1]; }

private:
    // First and end of blank k's area in the text; none when it has no marker.
    std::optional<std::pair<int, int>> area(int k) const;

    QString m_text;
    std::array<Range, 2> m_ranges{};
};

// The countdown of timer 2.
class Countdown
{
public:
    // Minutes as stored; anything not a positive number is no time at all.
    void start(const QString &limitText);
    // A countdown that goes on: limit (extensions included) and time left.
    void resume(int limitSeconds, int remainingSeconds)
    {
        m_limit = limitSeconds;
        m_remaining = remainingSeconds;
    }
    // One tick of timer 2; true when the time is up.
    bool tick();
    bool timeUp() const { return m_remaining <= 0; }
    int remaining() const { return m_remaining; }
    int limitSeconds() const { return m_limit; }
    int usedSeconds() const { return m_limit - std::max(m_remaining, 0); }
    // "剩余时间：HH:MM:SS"
    QString leftText() const;

private:
    int m_limit = 0;
    int m_remaining = 0;
};

namespace ExamLayout {

// Rectangle (left, top, right, bottom) as a QRect.
QRect ltrb(int left, int top, int right, int bottom);

// The client rectangle of a control of the exam window from the screen's
// width and height (ExamWindowControls), the option boxes and their letters
// included. Empty for controls that keep their template place.
QRect rectOf(int id, int W, int H);

// Where the review labels go for a type.
QRect reviewAnswerRect(int W, int H);
QRect reviewReferenceRect(const QString &type, int W, int H);

// The overview: headings of the present types and the number labels.
struct OverviewItem
{
    int id = 0;
    QString text;
    QRect rect;
    bool heading = false;
};
QList<OverviewItem> overview(const std::array<int, 5> &typeCounts);
// Heading control of a type.
int headingId(int typeIndex);
// Bottom of the overview (below its last row).
int overviewBottom(const std::array<int, 5> &typeCounts);

// Section label ("一、" for 单选题 … "五、" for 问答题) and the type line.
QString sectionOf(const QString &type);
QString typeLine(const QString &type, const QString &points);
// Where the question picture window of the given size goes: room that
// covers neither the stem nor the options, in window coordinates.
QRect pictureArea(const QSize &window, const std::array<int, 5> &typeCounts, int W, int H);
// The reference answer as review shows it: a two-blank answer as its blanks.
QString referenceText(const QString &type, const QString &reference);
// Whether an option is a choice at all: one without text is neither shown
// nor chosen.
bool offered(const std::optional<QString> &option);

} // namespace ExamLayout
