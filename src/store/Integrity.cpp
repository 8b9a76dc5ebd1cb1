#include "store/Integrity.h"

#include "store/CADOConn.h"
#include "store/Encoding.h"
#include "store/QuestionType.h"

#include <QCryptographicHash>

QString CMD5Encrypt(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(Encoding::toGb(text), QCryptographicHash::Md5).toHex());
}

QString examCode(const QString &name, const QString &start, const QString &end, const QString &passMark,
                 const QString &validity)
{
    return CMD5Encrypt(name + start + end + passMark + validity);
}

QString registrationCode(const QString &name, const QString &department, const QString &post,
                         const QString &examNo, const QString &passMark)
{
    return CMD5Encrypt(name + department + post + examNo + passMark);
}

QString resultCode(const QString &id, const QString &name, const QString &post, const QString &examName,
                   const QString &score, const QString &passMark, const QString &timeUsed,
                   const QString &examTime)
{
    return CMD5Encrypt(id + name + post + examName + score + passMark + timeUsed + examTime);
}

QString paperCode(const QString &name, const QString &single, const QString &judge, const QString &fill,
                  const QString &multi, const QString &essay, const QString &subject, const QString &total,
                  const QString &fullMarks, const QString &created)
{
    return CMD5Encrypt(name + single + judge + fill + multi + essay + subject + total + fullMarks + created);
}

QString sittingCode(const QString &registrationId, const QString &examNo, const QString &questions,
                    const QString &secondsLeft, const QString &extraMinutes, const QString &state,
                    const QString &started)
{
    return CMD5Encrypt(registrationId + examNo + questions + secondsLeft + extraMinutes + state + started);
}

QString sittingQuestionCode(const QString &sittingId, const QString &number, const QString &bankId,
                            const QString &subject, const QString &type, const QString &stem,
                            const QString &reference, const QStringList &options, const QString &points,
                            const QString &picture, const QString &answer, const QString &flag)
{
    return CMD5Encrypt(sittingId + number + bankId + subject + type + stem + reference + options.join(QString())
                       + points + picture + answer + flag);
}

QString examCodeOf(const CRecordset &r)
{
    return examCode(r.getString("考试名称"), r.getString("开始时间"), r.getString("结束时间"),
                    r.getString("合格分数"), r.getString("时效"));
}

QString registrationCodeOf(const CRecordset &r)
{
    return registrationCode(r.getString("姓名"), r.getString("部门"), r.getString("职务"), r.getString("考试号"),
                            r.getString("合格分数"));
}

QString resultCodeOf(const CRecordset &r)
{
    return resultCode(r.getString("ID"), r.getString("姓名"), r.getString("职务"), r.getString("考试名称"),
                      r.getString("成绩"), r.getString("合格分数"), r.getString("考试用时"),
                      r.getString("考试时间"));
}

QString paperCodeOf(const CRecordset &r)
{
    using T = QuestionType;
    return paperCode(r.getString("名称"), r.getString(T::nameOf(T::Single)), r.getString(T::nameOf(T::Judge)),
                     r.getString(T::nameOf(T::Blank)), r.getString(T::nameOf(T::Multi)),
                     r.getString(T::nameOf(T::Essay)), r.getString("科目"), r.getString("总题数"),
                     r.getString("满分"), r.getString("创建时间"));
}

QString sittingCodeOf(const CRecordset &r)
{
    return sittingCode(r.getString("报名ID"), r.getString("考试号"), r.getString("题数"), r.getString("剩余秒数"),
                       r.getString("延长分钟"), r.getString("状态"), r.getString("开始时间"));
}

QString sittingQuestionCodeOf(const CRecordset &r)
{
    QStringList options;
    for (const char *letter : {"A", "B", "C", "D", "E"})
        options << r.getString(QString::fromLatin1(letter));
    return sittingQuestionCode(r.getString("场次"), r.getString("编号"), r.getString("题库ID"), r.getString("科目"),
                               r.getString("题型"), r.getString("题干"), r.getString("答案"), options,
                               r.getString("分值"), r.getString("图片"), r.getString("答题"), r.getString("标记"));
}

bool sittingSealed(const CRecordset &r)
{
    return sittingCodeOf(r) == r.getString("保存码");
}

bool sittingQuestionSealed(const CRecordset &r)
{
    return sittingQuestionCodeOf(r) == r.getString("保存码");
}

bool examSealed(const CRecordset &r)
{
    return examCodeOf(r) == r.getString("保存码");
}

bool registrationSealed(const CRecordset &r)
{
    return registrationCodeOf(r) == r.getString("保存码");
}

bool resultSealed(const CRecordset &r)
{
    return resultCodeOf(r) == r.getString("保存码");
}

bool paperSealed(const CRecordset &r)
{
    return paperCodeOf(r) == r.getString("保存码");
}

QStringList passwordDigests(Account account, const QString &password)
{
    static const QString salts[2] = {QStringLiteral("pexo"), QStringLiteral("qv")};
    QStringList digests{CMD5Encrypt(password)};
    for (const QString &salt : salts)
        digests << CMD5Encrypt(account == Account::Admin ? salt + password : password + salt);
    return digests;
}

QString initialPassword(Account account)
{
    return account == Account::Admin ? QStringLiteral("284615") : QStringLiteral("590372");
}

CounterCheck checkRosterCounters(CADOConn &personnel, int examNo, const CounterRule &rule)
{
    RecordsetPtr count = personnel.openRecordset(
        QStringLiteral("select count(*) as n from ExamRegister where 考试号=?"), Db::Personnel,
        {QString::number(examNo)});
    const int registrations = count->getInt("n");
    RecordsetPtr counter = personnel.openRecordset(QStringLiteral("select * from JoinExam where 考试号=?"),
                                                   Db::Personnel, {examNo});
    const int rows = counter->recordCount();
    std::optional<int> quality, quantity;
    if (rows == 1) {
        if (!counter->isNull("考生质量"))
            quality = counter->getInt("考生质量");
        // Read only when it is compared, so a quality that differs is
        // reported as such whatever this column holds.
        if (!counter->isNull("考生数量") && quality && *quality == registrations && rule.checkQuantity)
            quantity = counter->getInt("考生数量");
    }
    return compareRosterCounters(registrations, rows, quality, quantity, rule);
}

CounterCheck compareRosterCounters(int registrations, int counterRows, std::optional<int> quality,
                                   std::optional<int> quantity, const CounterRule &rule)
{
    if (counterRows != 1)
        return CounterCheck::NotOneRow;
    if (!quality)
        return rule.allowNullQuality ? CounterCheck::Ok : CounterCheck::QualityDiffers;
    if (*quality != registrations)
        return CounterCheck::QualityDiffers;
    if (rule.checkQuantity && (!quantity || *quantity != *quality + 5))
        return CounterCheck::QuantityDiffers;
    return CounterCheck::Ok;
}

namespace {

bool writeCounter(CADOConn &personnel, const QString &sql, const QVariantList &params, CounterWrite mode)
{
    if (mode == CounterWrite::Silent)
        return personnel.execute(sql, Db::Personnel, params);
    personnel.executeOrThrow(sql, Db::Personnel, params);
    return true;
}

} // namespace

bool insertRosterCounter(CADOConn &personnel, int examNo, int registrations, CounterWrite mode)
{
    return writeCounter(personnel, QStringLiteral("insert into JoinExam (考试号,考生质量,考生数量) values (?,?,?)"),
                        {examNo, registrations, registrations + 5}, mode);
}

bool addToRosterCounter(CADOConn &personnel, int examNo, CounterWrite mode)
{
    return writeCounter(personnel,
                        QStringLiteral("update JoinExam set 考生质量=考生质量+1,考生数量=考生数量+1 where 考试号=?"),
                        {examNo}, mode);
}

bool removeFromRosterCounter(CADOConn &personnel, int examNo, CounterWrite mode)
{
    return writeCounter(personnel,
                        QStringLiteral("update JoinExam set 考生质量=考生质量-1,考生数量=考生数量-1 where 考试号=?"),
                        {examNo}, mode);
}

bool deleteRosterCounter(CADOConn &personnel, int examNo, CounterWrite mode)
{
    return writeCounter(personnel, QStringLiteral("delete from JoinExam where 考试号=?"), {examNo}, mode);
}

bool insertRosterCounter(CADOConn &personnel, int examNo, int registrations)
{
    return insertRosterCounter(personnel, examNo, registrations, CounterWrite::Silent);
}

bool addToRosterCounter(CADOConn &personnel, int examNo)
{
    return addToRosterCounter(personnel, examNo, CounterWrite::Silent);
}

bool removeFromRosterCounter(CADOConn &personnel, int examNo)
{
    return removeFromRosterCounter(personnel, examNo, CounterWrite::Silent);
}

bool deleteRosterCounter(CADOConn &personnel, int examNo)
{
    return deleteRosterCounter(personnel, examNo, CounterWrite::Silent);
}
