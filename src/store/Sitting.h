#pragma once
// A stored sitting: the formal exam an examinee entered, kept beside the
// registration so that a crash or a power cut loses neither the questions
// drawn nor the answers nor the time left. Every row carries an integrity
// code; a write first checks the row's code, so a row changed outside the
// program is never resealed. No widgets.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class CADOConn;

namespace SittingState {
inline const QString Running = QStringLiteral("进行中");
inline const QString Submitted = QStringLiteral("已交卷");
inline const QString Discarded = QStringLiteral("已作废");
} // namespace SittingState

struct SittingQuestion
{
    int number = 0;
    QString bankId; // the question's ID in its bank table, as drawn
    QString subject;
    QString type;
    std::optional<QString> stem;
    QString reference; // the answer key's entry
    std::array<std::optional<QString>, 5> options;
    QString points;
    std::optional<QString> picture;
    std::optional<QString> answer; // null = unanswered
    bool flagged = false;
};

struct SittingRecord
{
    int id = 0;
    int registrationId = 0;
    QString examNo;
    int questions = 0;
    int secondsLeft = 0;  // extensions included
    int extraMinutes = 0; // granted by the administrator, in all
    QString state;
    QString started;
    bool sealed = true;

    bool running() const { return state == SittingState::Running; }
};

namespace Sitting {

// The sitting of a registration (any state). Throws DbError.
std::optional<SittingRecord> find(CADOConn &personnel, int registrationId);
// The sittings of an exam by registration ID.
QList<SittingRecord> ofExam(CADOConn &personnel, const QString &examNo);

// A running sitting over the working table exam and the answer key, in one
// transaction; an earlier sitting of the registration (discarded) goes.
// Returns its ID. Throws DbError.
int create(CADOConn &personnel, int registrationId, const QString &examNo, int seconds, const QStringList &key,
           const QDateTime &now);

// Its questions in number order; *sealed is false when one fails its code.
QList<SittingQuestion> questions(CADOConn &personnel, int sittingId, bool *sealed = nullptr);

// Makes the working table exam anew from the questions, exactly as drawn
// and answered; returns the answer key ("|" after each entry).
QString restoreSheet(CADOConn &personnel, const QList<SittingQuestion> &questions);

enum class Write {
    Done,
    Tampered, // the row fails its code: nothing written
    Closed,   // no running sitting: nothing written
};
Write saveTime(CADOConn &personnel, int sittingId, int secondsLeft);
Write saveAnswer(CADOConn &personnel, int sittingId, int number, const std::optional<QString> &answer,
                 int secondsLeft);
Write setFlag(CADOConn &personnel, int sittingId, int number, bool flagged, int secondsLeft);
// Marks the registration's running sitting submitted; for the submission's
// own transaction, with the time left as last saved. No running sitting:
// nothing. Throws DbError.
Write close(CADOConn &personnel, int registrationId);
// The administrator's decisions on a running sitting, each one transaction.
Write extend(CADOConn &personnel, int registrationId, int minutes);
Write discard(CADOConn &personnel, int registrationId);

// For the deletions of a registration or an exam, in their transaction.
void deleteForRegistration(CADOConn &personnel, int registrationId);
void deleteForExam(CADOConn &personnel, const QString &examNo);

// The registration list's status of a sitting (empty when it says nothing).
QString statusText(const SittingRecord &record);

// "HH:MM:SS"
QString durationText(int seconds);

} // namespace Sitting

// The time left, counted with the monotonic clock from a number of seconds:
// the wall clock may be set back or forward without effect.
class SittingTimer
{
public:
    void start(int seconds);
    void pause();
    void resume();
    bool running() const { return m_running; }
    qint64 msLeft() const;
    // Whole seconds, rounded up, never below 0.
    int secondsLeft() const;

private:
    qint64 m_left = 0; // at m_since
    qint64 m_since = 0;
    bool m_running = false;
};
