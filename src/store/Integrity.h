#pragma once
// Integrity codes (保存码): MD5 digests over fixed fields of the rows that
// decide the fairness of an exam, and the roster counters of JoinExam.
#include <QString>
#include <QStringList>

#include <optional>

class CADOConn;
class CRecordset;

// MD5 of the text's GB18030 bytes, 32 lower-case hex digits.
QString CMD5Encrypt(const QString &text);

// Each code is the digest of its fields concatenated with nothing between.
QString examCode(const QString &name, const QString &start, const QString &end, const QString &passMark,
                 const QString &validity);
QString registrationCode(const QString &name, const QString &department, const QString &post,
                         const QString &examNo, const QString &passMark);
QString resultCode(const QString &id, const QString &name, const QString &post, const QString &examName,
                   const QString &score, const QString &passMark, const QString &timeUsed,
                   const QString &examTime);
QString paperCode(const QString &name, const QString &single, const QString &judge, const QString &fill,
                  const QString &multi, const QString &essay, const QString &subject, const QString &total,
                  const QString &fullMarks, const QString &created);
// A sitting (stored exam in progress or submitted) and one of its questions.
QString sittingCode(const QString &registrationId, const QString &examNo, const QString &questions,
                    const QString &secondsLeft, const QString &extraMinutes, const QString &state,
                    const QString &started);
QString sittingQuestionCode(const QString &sittingId, const QString &number, const QString &bankId,
                            const QString &subject, const QString &type, const QString &stem,
                            const QString &reference, const QStringList &options, const QString &points,
                            const QString &picture, const QString &answer, const QString &flag);

// The same codes over the current row of a recordset (null reads as "").
QString examCodeOf(const CRecordset &row);
QString registrationCodeOf(const CRecordset &row);
QString resultCodeOf(const CRecordset &row);
QString paperCodeOf(const CRecordset &row);
QString sittingCodeOf(const CRecordset &row);
QString sittingQuestionCodeOf(const CRecordset &row);

// True when the row's 保存码 matches its code (a null code never matches).
bool examSealed(const CRecordset &row);
bool registrationSealed(const CRecordset &row);
bool resultSealed(const CRecordset &row);
bool paperSealed(const CRecordset &row);
bool sittingSealed(const CRecordset &row);
bool sittingQuestionSealed(const CRecordset &row);

// Administrator password digests: D1 = MD5(p), D2 and D3 with the salts
// "pexo" and "qv"; admin puts the salt first, manager the password first.
enum class Account { Admin, Manager };
QStringList passwordDigests(Account account, const QString &password);
QString initialPassword(Account account);

// Roster counters of one exam.
enum class CounterCheck {
    Ok,
    NotOneRow,       // JoinExam does not hold exactly one row for the exam
    QualityDiffers,  // 考生质量 is not the number of registrations
    QuantityDiffers, // 考生数量 is not 考生质量 + 5
};

struct CounterRule
{
    bool checkQuantity = true;    // also compare 考生数量 with 考生质量 + 5
    bool allowNullQuality = true; // a null 考生质量 passes
};

// Counts ExamRegister rows of the exam (考试号 compared as text) and compares
// the exam's JoinExam row (compared as a number). Throws DbError.
CounterCheck checkRosterCounters(CADOConn &personnel, int examNo, const CounterRule &rule = {});

// The comparison alone, for a caller that read the counts and counters in
// bulk: counterRows is how many JoinExam rows the exam has, quality and
// quantity are those of its first row (nullopt = null).
CounterCheck compareRosterCounters(int registrations, int counterRows, std::optional<int> quality,
                                   std::optional<int> quantity, const CounterRule &rule = {});

// Counter maintenance statements; false when the statement failed.
bool insertRosterCounter(CADOConn &personnel, int examNo, int registrations);
bool addToRosterCounter(CADOConn &personnel, int examNo);
bool removeFromRosterCounter(CADOConn &personnel, int examNo);
bool deleteRosterCounter(CADOConn &personnel, int examNo);
// The same inside a transaction: OrThrow raises DbError with the engine's
// text, so the caller's transaction rolls back.
enum class CounterWrite { Silent, OrThrow };
bool insertRosterCounter(CADOConn &personnel, int examNo, int registrations, CounterWrite mode);
bool addToRosterCounter(CADOConn &personnel, int examNo, CounterWrite mode);
bool removeFromRosterCounter(CADOConn &personnel, int examNo, CounterWrite mode);
bool deleteRosterCounter(CADOConn &personnel, int examNo, CounterWrite mode);
