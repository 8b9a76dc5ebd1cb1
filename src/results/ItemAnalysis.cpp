#include "results/ItemAnalysis.h"

#include "exam/ExamRules.h"
#include "paper/Paper.h"
#include "results/ScoreQuery.h"
#include "store/CADOConn.h"
#include "store/QuestionType.h"
#include "store/Sitting.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <vector>

namespace ItemAnalysis {

namespace {

bool isEssay(const QString &type)
{
    return QuestionType::is(type, QuestionType::Essay);
}

// Answered by letters A..E; a 判断题 is A (正确) or B (错误).
bool byLetters(const QString &type)
{
    return QuestionType::isChoice(type) || QuestionType::is(type, QuestionType::Judge);
}

// The letters A..E a text holds, each once.
std::array<bool, 5> lettersOf(const QString &text)
{
    std::array<bool, 5> chosen{};
    for (QChar c : text)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('E'))
            chosen[c.unicode() - 'A'] = true;
    return chosen;
}

// The bank question a drawn row came from; rows drawn before the bank ID was
// kept are told apart by their stem.
QString keyOf(const ItemAnswer &a)
{
    return a.type + QLatin1Char('\x1f') + (a.bankId.isEmpty() ? QStringLiteral("#") + a.stem : a.bankId);
}

double meanOf(const std::vector<double> &v)
{
    return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
}

// Population variance: the examinees of an exam are the whole group the
// figures describe, not a sample of a larger one.
double varianceOf(const std::vector<double> &v)
{
    if (v.empty())
        return 0;
    const double m = meanOf(v);
    double s = 0;
    for (double x : v)
        s += (x - m) * (x - m);
    return s / double(v.size());
}

double medianOf(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Sums below this count as no spread (scores are multiples of 0.5).
constexpr double kTiny = 1e-9;

std::optional<double> pearson(const std::vector<double> &x, const std::vector<double> &y)
{
    if (x.size() < 3)
        return std::nullopt;
    const double mx = meanOf(x), my = meanOf(y);
    double sxy = 0, sxx = 0, syy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
        syy += (y[i] - my) * (y[i] - my);
    }
    if (sxx < kTiny || syy < kTiny)
        return std::nullopt;
    return sxy / std::sqrt(sxx * syy);
}

struct Observation
{
    double score;
    double rest;
    const std::optional<QString> *answer;
};

struct Accumulator
{
    const ItemAnswer *first = nullptr;
    std::vector<Observation> seen;
    std::array<int, 5> options{};
    int unanswered = 0;
};

QString letterList(const std::array<bool, 5> &letters)
{
    QString s;
    for (int i = 0; i < 5; ++i)
        if (letters[i])
            s += QLatin1Char(char('A' + i));
    return s;
}

// A wrong option the stronger half chose more often than the key (than the
// least chosen key letter of a 多选题): the key itself may be wrong.
QStringList keySuspects(const Accumulator &a)
{
    std::vector<double> rests;
    for (const Observation &o : a.seen)
        rests.push_back(o.rest);
    const double median = medianOf(rests);
    std::array<int, 5> strong{};
    for (const Observation &o : a.seen) {
        if (o.rest <= median || !*o.answer)
            continue;
        const std::array<bool, 5> chosen = lettersOf(**o.answer);
        for (int i = 0; i < 5; ++i)
            strong[i] += chosen[i];
    }
    const std::array<bool, 5> key = lettersOf(a.first->reference);
    int keyLeast = -1;
    for (int i = 0; i < 5; ++i)
        if (key[i])
            keyLeast = keyLeast < 0 ? strong[i] : std::min(keyLeast, strong[i]);
    QStringList flags;
    if (keyLeast < 0)
        return flags;
    for (int i = 0; i < 5; ++i) {
        if (!key[i] && strong[i] > keyLeast)
            flags << QStringLiteral("成绩较好的一半考生选%1的多于正确答案%2，答案可能有误")
                         .arg(QChar(char('A' + i)))
                         .arg(letterList(key));
    }
    return flags;
}

ItemStats statsOf(const Accumulator &a)
{
    ItemStats s;
    const ItemAnswer &q = *a.first;
    s.type = q.type;
    s.bankId = q.bankId;
    s.stem = q.stem;
    s.reference = q.reference;
    s.points = q.points;
    s.count = int(a.seen.size());
    s.choice = byLetters(q.type);
    s.options = a.options;
    s.unanswered = a.unanswered;
    std::vector<double> scores, rests;
    for (const Observation &o : a.seen) {
        scores.push_back(o.score);
        rests.push_back(o.rest);
    }
    if (s.count > 0 && q.points > 0)
        s.facility = meanOf(scores) / q.points;
    s.discrimination = pearson(scores, rests);
    if (s.count == 0)
        return s;
    if (s.facility < kHardFacility)
        s.flags << QStringLiteral("几乎无人答对（得分率%1）").arg(ratioText(s.facility));
    else if (s.facility > kEasyFacility)
        s.flags << QStringLiteral("几乎人人答对（得分率%1）").arg(ratioText(s.facility));
    if (s.discrimination && *s.discrimination < 0)
        s.flags << QStringLiteral("区分度为负（%1）：总分低的考生反而答得好").arg(ratioText(s.discrimination));
    else if (s.discrimination && *s.discrimination < kLowDiscrimination)
        s.flags << QStringLiteral("区分度低（%1）").arg(ratioText(s.discrimination));
    if (s.choice)
        s.flags << keySuspects(a);
    return s;
}

// The parts the internal consistency is computed over, per examinee; none
// unless every examinee has a sitting with the same bank questions. Essays
// whose marks are known only as their sum form one part together.
std::optional<double> consistency(const QList<ExamineeRecord> &examinees, QString *name)
{
    if (examinees.size() < 2)
        return std::nullopt;
    QStringList keys;
    for (const ItemAnswer &a : examinees.first().items)
        keys << keyOf(a);
    keys.sort();
    bool essaysKnown = true;
    for (const ExamineeRecord &e : examinees) {
        QStringList own;
        for (const ItemAnswer &a : e.items) {
            own << keyOf(a);
            essaysKnown = essaysKnown && a.score.has_value();
        }
        own.sort();
        if (e.items.isEmpty() || own != keys)
            return std::nullopt;
    }
    // part key -> score per examinee, and the part's points
    std::map<QString, std::vector<double>> parts;
    std::map<QString, double> worth;
    const QString essayPart = QStringLiteral("\x1f问答题");
    for (const ExamineeRecord &e : examinees) {
        double objective = 0, essayPoints = 0;
        for (const ItemAnswer &a : e.items) {
            if (isEssay(a.type) && !essaysKnown) {
                essayPoints += a.points;
                continue;
            }
            parts[keyOf(a)].push_back(*a.score);
            worth[keyOf(a)] = a.points;
            if (!isEssay(a.type))
                objective += *a.score;
        }
        if (essayPoints > 0) {
            parts[essayPart].push_back(std::max(0.0, e.total - objective));
            worth[essayPart] = essayPoints;
        }
    }
    const size_t k = parts.size();
    if (k < 2)
        return std::nullopt;
    std::vector<double> sums(size_t(examinees.size()), 0.0);
    double partVariances = 0;
    bool dichotomous = true;
    std::optional<double> samePoints;
    for (const auto &[key, scores] : parts) {
        partVariances += varianceOf(scores);
        for (size_t i = 0; i < scores.size(); ++i) {
            sums[i] += scores[i];
            dichotomous = dichotomous && (scores[i] == 0 || scores[i] == worth[key]);
        }
        if (!samePoints)
            samePoints = worth[key];
        dichotomous = dichotomous && worth[key] == *samePoints;
    }
    const double total = varianceOf(sums);
    if (total < kTiny)
        return std::nullopt;
    // Right-or-wrong items of equal points: alpha is exactly KR-20.
    *name = dichotomous ? QStringLiteral("KR-20") : QStringLiteral("Cronbach α");
    return double(k) / double(k - 1) * (1 - partVariances / total);
}

} // namespace

QString ratioText(const std::optional<double> &value)
{
    if (!value)
        return QStringLiteral("—");
    // No "-0.00".
    const double v = std::round(*value * 100) / 100;
    return QString::number(v == 0 ? 0.0 : v, 'f', 2);
}

Report analyse(const AnalysisInput &input)
{
    Report r;
    r.examName = input.examName;
    r.paperName = input.paperName;
    r.fullMarks = input.fullMarks;
    r.passMark = input.passMark;
    r.waiting = input.waiting;
    r.withoutSitting = input.withoutSitting;
    r.tampered = input.tampered;

    ExamStats &x = r.exam;
    std::vector<double> totals;
    for (const ExamineeRecord &e : input.examinees) {
        totals.push_back(e.total);
        x.passed += e.passed;
    }
    x.examinees = int(totals.size());
    if (!totals.empty()) {
        x.mean = meanOf(totals);
        x.median = medianOf(totals);
        x.deviation = std::sqrt(varianceOf(totals));
        x.lowest = *std::min_element(totals.begin(), totals.end());
        x.highest = *std::max_element(totals.begin(), totals.end());
        x.passRate = double(x.passed) / double(totals.size());
    }
    // Ten bins of a tenth of the full marks each; without a paper the highest
    // score stands in for the full marks.
    const double top = input.fullMarks > 0 ? input.fullMarks : std::max(x.highest, 1.0);
    for (int i = 0; i < 10; ++i)
        x.histogram << HistogramBin{top * i / 10, top * (i + 1) / 10, 0};
    for (double t : totals)
        ++x.histogram[std::clamp(int(std::floor(t / top * 10)), 0, 9)].count;
    x.consistency = consistency(input.examinees, &x.consistencyName);

    QHash<QString, Accumulator> items;
    for (const ExamineeRecord &e : input.examinees) {
        for (const ItemAnswer &a : e.items) {
            Accumulator &acc = items[keyOf(a)];
            if (!acc.first)
                acc.first = &a;
            if (byLetters(a.type)) {
                if (!a.answer || a.answer->isEmpty())
                    ++acc.unanswered;
                else {
                    const std::array<bool, 5> chosen = lettersOf(*a.answer);
                    for (int i = 0; i < 5; ++i)
                        acc.options[i] += chosen[i];
                }
            }
            if (a.score)
                acc.seen.push_back({*a.score, e.total - *a.score, &a.answer});
        }
    }
    for (const Accumulator &a : std::as_const(items))
        r.items << statsOf(a);
    std::sort(r.items.begin(), r.items.end(), [](const ItemStats &a, const ItemStats &b) {
        const int ta = QuestionType::orderOf(a.type), tb = QuestionType::orderOf(b.type);
        if (ta != tb)
            return ta < tb;
        if (a.bankId.toLongLong() != b.bankId.toLongLong())
            return a.bankId.toLongLong() < b.bankId.toLongLong();
        return a.stem < b.stem;
    });
    return r;
}

AnalysisInput load(const QString &examName)
{
    AnalysisInput in;
    in.examName = examName;
    CADOConn personnel, questions;
    in.paperName = ScoreQuery::paperNameOf(examName);
    if (const std::optional<Paper> paper = PaperStore::readPaperNamed(questions, in.paperName))
        in.fullMarks = ScoreQuery::leadingNumber(paper->fullMarks);

    // The sittings of each exam number met, read once, by registration.
    QHash<QString, QHash<int, SittingRecord>> sittings;
    const auto sittingOf = [&](const QString &examNo, int registrationId) -> std::optional<SittingRecord> {
        auto exam = sittings.find(examNo);
        if (exam == sittings.end()) {
            exam = sittings.insert(examNo, {});
            for (const SittingRecord &s : Sitting::ofExam(personnel, examNo))
                exam->insert(s.registrationId, s);
        }
        const auto s = exam->constFind(registrationId);
        // Not under its exam number: looked for by the registration alone.
        return s == exam->cend() ? Sitting::find(personnel, registrationId) : std::optional<SittingRecord>(*s);
    };
    RecordsetPtr r = personnel.openRecordset(
        QStringLiteral("select * from ExamRegister where 考试名称=? and 成绩 is not null order by ID"), Db::Personnel,
        {examName});
    for (r->moveFirst(); !r->isEOF(); r->moveNext()) {
        ScoreRow row;
        row.score = r->getString(QStringLiteral("成绩"));
        row.passMark = r->getString(QStringLiteral("合格分数"));
        if (!r->isNull(QStringLiteral("问答题")))
            row.essay = r->getString(QStringLiteral("问答题"));
        if (in.passMark.isEmpty())
            in.passMark = row.passMark;
        const QString flag = ScoreQuery::passFlag(row);
        if (flag == QStringLiteral("不定")) {
            ++in.waiting; // essays count once marked
            continue;
        }
        ExamineeRecord e;
        e.total = ScoreQuery::leadingNumber(row.score);
        e.passed = flag == QStringLiteral("是");

        const std::optional<SittingRecord> s =
            sittingOf(r->getString(QStringLiteral("考试号")), r->getInt(QStringLiteral("ID")));
        if (!s || s->state != SittingState::Submitted) {
            ++in.withoutSitting;
            in.examinees << e;
            continue;
        }
        bool sealed = false;
        const QList<SittingQuestion> drawn = Sitting::questions(personnel, s->id, &sealed);
        if (!s->sealed || !sealed) {
            ++in.tampered;
            in.examinees << e;
            continue;
        }
        double objective = 0;
        QList<int> essays;
        e.items.reserve(drawn.size());
        for (const SittingQuestion &q : drawn) {
            ItemAnswer a{q.type, q.bankId, q.stem.value_or(QString()), q.reference,
                         ExamScoring::pointsOf(q.points), q.answer, std::nullopt};
            if (isEssay(q.type)) {
                essays << int(e.items.size());
            } else {
                a.score = ExamScoring::earned(q.type, q.answer.value_or(QString()), q.reference, a.points);
                objective += *a.score;
            }
            e.items << a;
        }
        // The marks of the essays are known as their sum only: one essay
        // has it all; several share it only when it is none or all of them.
        const double essayTotal = std::max(0.0, e.total - objective);
        double essayPoints = 0;
        for (int i : essays)
            essayPoints += e.items[i].points;
        for (int i : essays) {
            if (essays.size() == 1)
                e.items[i].score = essayTotal;
            else if (essayTotal == 0)
                e.items[i].score = 0.0;
            else if (essayTotal == essayPoints)
                e.items[i].score = e.items[i].points;
        }
        in.examinees << e;
    }
    return in;
}

} // namespace ItemAnalysis
