#include "exam/ExamRules.h"

#include "exam/ExamWindowControls.h"
#include "store/QuestionType.h"

#include <QStringList>

#include <cmath>

namespace ExamScoring {

double pointsOf(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

bool halfByBlankRule(const QString &answer, const QString &reference)
{
    const qsizetype hash = reference.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return false;
    const QString r1 = reference.left(hash), r2 = reference.mid(hash + 1);
    const qsizetype a = answer.indexOf(QLatin1Char('#'));
    if (a < 0)
        return answer == r1;
    return answer.left(a) == r1 || answer.mid(a + 1) == r2;
}

double earned(const QString &type, const QString &answer, const QString &reference, double points)
{
    if (QuestionType::is(type, QuestionType::Essay))
        return 0;
    if (answer == reference)
        return points;
    if (QuestionType::is(type, QuestionType::Blank) && halfByBlankRule(answer, reference))
        return points / 2;
    return 0;
}

Mark reviewMark(const QString &type, const std::optional<QString> &answer, const QString &reference)
{
    // Every essay waits for the hand marking, answered or not.
    if (QuestionType::is(type, QuestionType::Essay))
        return Mark::Essay;
    if (!answer)
        return Mark::Unanswered;
    if (*answer == reference)
        return Mark::Right;
    if (QuestionType::is(type, QuestionType::Blank) && halfByBlankRule(*answer, reference))
        return Mark::Half;
    return Mark::Wrong;
}

QStringList keyEntries(const QString &answerKey)
{
    QStringList entries = answerKey.split(QLatin1Char('|'));
    entries.removeLast(); // the text after the last "|" ends no entry
    return entries;
}

} // namespace ExamScoring

namespace AnswerRules {

SaveDecision decide(const ShownAnswer &s)
{
    using A = SaveDecision;
    static const QString letters = QStringLiteral("ABCDE");
    if (QuestionType::is(s.type, QuestionType::Single)) {
        if (s.single >= 0 && s.single < 5)
            return {A::Store, letters.mid(s.single, 1)};
        return {};
    }
    if (QuestionType::is(s.type, QuestionType::Judge)) {
        if (s.judge == 0 || s.judge == 1)
            return {A::Store, letters.mid(s.judge, 1)};
        return {};
    }
    if (QuestionType::is(s.type, QuestionType::Blank)) {
        QString text;
        if (!s.blank1.isEmpty() && !s.blank2.isEmpty())
            text = s.blank1 + QLatin1Char('#') + s.blank2;
        else if (!s.blank1.isEmpty())
            text = s.blank1;
        else if (!s.blank2.isEmpty())
            text = QLatin1Char('#') + s.blank2;
        else
            return {A::Clear, QString()};
        return {A::Store, text};
    }
    if (QuestionType::is(s.type, QuestionType::Multi)) {
        QString text;
        for (int i = 0; i < 5; ++i)
            if (s.multi[i])
                text += letters[i];
        if (text.size() >= 2)
            return {A::Store, text};
        return {};
    }
    if (QuestionType::is(s.type, QuestionType::Essay) && !s.essay.isEmpty())
        return {A::Store, s.essay};
    return {};
}

std::pair<QString, QString> splitBlanks(const QString &answer)
{
    const qsizetype hash = answer.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return {answer, QString()};
    return {answer.left(hash), answer.mid(hash + 1)};
}

QString cleanBlankInput(const QString &text)
{
    QString t = text;
    t.remove(QChar(0x3010)).remove(QChar(0x3011)).remove(QLatin1Char('#'));
    return t;
}

} // namespace AnswerRules

namespace {
const QChar kOpen(0x3010), kClose(0x3011);
}

int BlankStem::markerCount(const QString &stem)
{
    return int(stem.count(kOpen));
}

std::optional<std::pair<int, int>> BlankStem::area(int k) const
{
    qsizetype open = m_text.indexOf(kOpen);
    if (k == 2) {
        const qsizetype close = open < 0 ? -1 : m_text.indexOf(kClose);
        open = close < 0 ? -1 : m_text.indexOf(kOpen, close + 1);
    }
    if (open < 0)
        return std::nullopt;
    const int first = int(open) + 1;
    qsizetype close = m_text.indexOf(kClose, first);
    // An unclosed blank runs to the end of the stem, so typing replaces
    // rather than piles up.
    if (close < 0)
        close = m_text.size();
    return std::pair<int, int>{first, int(close)};
}

void BlankStem::setValue(int k, const QString &value)
{
    const auto a = area(k);
    if (!a)
        return;
    const QString shown = QLatin1Char(' ') + value + QLatin1Char(' ');
    const int oldLength = a->second - a->first;
    m_text.replace(a->first, oldLength, shown);
    m_ranges[k - 1] = value.isEmpty() ? Range{a->first, a->first}
                                      : Range{a->first, a->first + int(shown.size())};
    if (k == 1) {
        // Blank 2 keeps covering its shown text.
        const int delta = int(shown.size()) - oldLength;
        Range &r2 = m_ranges[1];
        if (r2.first != r2.second)
            r2 = {r2.first + delta, r2.second + delta};
    }
}

void Countdown::start(const QString &limitText)
{
    bool ok = false;
    const int minutes = limitText.trimmed().toInt(&ok);
    m_limit = ok && minutes > 0 && minutes < 1000000 ? minutes * 60 : 0;
    m_remaining = m_limit;
}

bool Countdown::tick()
{
    if (m_remaining > 0)
        --m_remaining;
    return timeUp();
}

QString Countdown::leftText() const
{
    const int s = std::max(m_remaining, 0);
    return QStringLiteral("剩余时间：") + QString::asprintf("%02d:%02d:%02d", s / 3600, (s % 3600) / 60, (s % 3600) % 60);
}

namespace ExamLayout {

using enum ExamWindowControls::Ids;

QRect ltrb(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

QRect rectOf(int id, int W, int H)
{
    const int h = 3 * H / 20; // recurring 3H/20
    const int x3 = 3 * W / 10, x6 = 6 * W / 20;
    if (id >= SingleA && id <= SingleE) {
        const int i = id - SingleA;
        return ltrb(x3 + 38, h + 214 + 60 * i, 19 * W / 20, h + 262 + 60 * i);
    }
    if (id >= MultiA && id <= MultiE)
        return rectOf(id - MultiA + SingleA, W, H);
    if (id >= LetterA && id <= LetterE) {
        const int i = id - LetterA;
        return ltrb(x3, h + 230 + 60 * i, x3 + 24, h + 250 + 60 * i);
    }
    switch (id) {
    case ClockLabel: return ltrb(W / 2, 100, W / 2 + 200, 120);
    case Section: return ltrb(x6 - 40, 125, x6, 160);
    case Number: return ltrb(x6 - 40, 160, x6, 195);
    case TypeLine: return ltrb(x6, 125, x6 + 280, 160);
    case TimeLimit: return ltrb(15 * W / 20, 125, 15 * W / 20 + 150, 145);
    case TimeLeft: return ltrb(6 * W / 10 + 180, h + 180, 6 * W / 10 + 340, h + 215);
    case Rules: return ltrb(x3, H / 5 + 280, x3 + 600, H / 5 + 480);
    case Stem: return ltrb(x3, 160, x3 + 13 * W / 20, h + 160);
    case OptionsLabel: return ltrb(x6 - 40, h + 180, x6, h + 215);
    case JudgeRight: return ltrb(4 * W / 10 + 38, h + 300, 4 * W / 10 + 118, h + 320);
    case JudgeWrong: return ltrb(6 * W / 10 + 38, h + 300, 6 * W / 10 + 118, h + 320);
    case JudgeLetterA: return ltrb(4 * W / 10, h + 300, 4 * W / 10 + 40, h + 316);
    case JudgeLetterB: return ltrb(6 * W / 10, h + 300, 6 * W / 10 + 40, h + 316);
    case Blank1Label: return ltrb(x3, h + 220, x3 + 40, h + 260);
    case Blank1: return ltrb(x3 + 60, h + 220, x3 + 13 * W / 20, h + 260);
    case Blank2Label: return ltrb(x3, h + 300, x3 + 40, h + 340);
    case Blank2: return ltrb(x3 + 60, h + 300, x3 + 13 * W / 20, h + 340);
    case EssayLabel: return ltrb(x3, h + 220, x3 + 40, h + 260);
    case Essay: return ltrb(x3 + 60, h + 220, x3 + 13 * W / 20, 2 * h + 220);
    case Start: return ltrb(6 * W / 10, H / 5 + 180, 6 * W / 10 + 100, H / 5 + 225);
    case Previous: return ltrb(5 * W / 10, H / 5 + 520, 5 * W / 10 + 90, H / 5 + 560);
    case Next: return ltrb(6 * W / 10, H / 5 + 520, 6 * W / 10 + 90, H / 5 + 560);
    case Submit: return ltrb(7 * W / 10, H / 5 + 520, 7 * W / 10 + 90, H / 5 + 560);
    case Back: return ltrb(5 * W / 10, H / 5 + 520, 5 * W / 10 + 90, H / 5 + 560);
    case Exit: return ltrb(7 * W / 10, H / 5 + 520, 7 * W / 10 + 90, H / 5 + 560);
    default: return QRect();
    }
}

QRect reviewAnswerRect(int W, int H)
{
    return ltrb(3 * W / 10, H / 5 + 467, 2 * (3 * W / 10), H / 5 + 502);
}

QRect reviewReferenceRect(const QString &type, int W, int H)
{
    if (QuestionType::is(type, QuestionType::Blank) || QuestionType::is(type, QuestionType::Essay))
        return ltrb(3 * W / 10, 6 * H / 20 + 260, 3 * W / 10 + 13 * W / 20, 6 * H / 20 + 260 + 242 - H / 10);
    return ltrb(7 * W / 10, H / 5 + 467, 7 * W / 10 + 3 * W / 10, H / 5 + 502);
}

int headingId(int typeIndex)
{
    static const int ids[5] = {SingleHeading, JudgeHeading, BlankHeading, MultiHeading, EssayHeading};
    return ids[typeIndex];
}

namespace {
const QStringList kOrdinals{QStringLiteral("一、"), QStringLiteral("二、"), QStringLiteral("三、"),
                            QStringLiteral("四、"), QStringLiteral("五、")};
} // namespace

QList<OverviewItem> overview(const std::array<int, 5> &counts)
{
    QList<OverviewItem> items;
    int y = 120, present = 0, number = 0;
    for (int t = 0; t < 5; ++t) {
        const int n = std::max(counts[t], 0);
        if (n == 0)
            continue;
        items << OverviewItem{headingId(t), kOrdinals[present++] + QuestionType::names().at(t), ltrb(50, y, 120, y + 15), true};
        for (int j = 0; j < n; ++j, ++number)
            items << OverviewItem{NumberBase + 1 + number, QString::number(number + 1),
                                  QRect(70 + 35 * (j % 5), y + 20 + 20 * (j / 5), 30, 15), false};
        y += 20 * (1 + (n + 4) / 5);
    }
    return items;
}

int overviewBottom(const std::array<int, 5> &counts)
{
    int y = 120;
    for (int n : counts)
        if (n > 0)
            y += 20 * (1 + (n + 4) / 5);
    return y;
}

QString sectionOf(const QString &type)
{
    const int i = QuestionType::orderOf(type);
    return i < 0 ? QString() : kOrdinals[i];
}

QRect pictureArea(const QSize &window, const std::array<int, 5> &counts, int W, int H)
{
    // Room that neither the stem nor the options, the buttons or the review
    // labels take: the left column below the numbers, the strip below the
    // answer area left and right of the buttons, and the whole left column,
    // whose numbers the picture may cover until it is closed.
    const int below = std::max(3 * H / 20 + 510, H / 5 + 510);
    const QList<QRect> rooms{
        ltrb(4, std::min(overviewBottom(counts) + 10, H - 4), 3 * W / 10 - 8, H - 4),
        ltrb(3 * W / 10, below, 5 * W / 10 - 8, H - 4),
        ltrb(7 * W / 10 + 98, below, W - 4, H - 4),
        ltrb(4, 4, 3 * W / 10 - 8, H - 4),
    };
    for (const QRect &room : rooms)
        if (room.width() >= window.width() && room.height() >= window.height())
            return room;
    // Nowhere whole: the room that lets the picture stay largest.
    QRect best = rooms.last();
    double bestScale = 0;
    for (const QRect &room : rooms) {
        const double scale = std::min(double(room.width()) / std::max(window.width(), 1),
                                      double(room.height()) / std::max(window.height(), 1));
        if (scale > bestScale) {
            bestScale = scale;
            best = room;
        }
    }
    return best;
}

QString referenceText(const QString &type, const QString &reference)
{
    if (QuestionType::is(type, QuestionType::Blank) && reference.contains(QLatin1Char('#'))) {
        const auto [r1, r2] = AnswerRules::splitBlanks(reference);
        return QStringLiteral("参考答案：填空1：") + r1 + QStringLiteral("　　填空2：") + r2;
    }
    return QStringLiteral("参考答案：") + reference;
}

bool offered(const std::optional<QString> &option)
{
    return option && !option->trimmed().isEmpty();
}

QString typeLine(const QString &type, const QString &points)
{
    return type + QStringLiteral("  每题") + points
           + (QuestionType::is(type, QuestionType::Multi) ? QStringLiteral("分(选2-5个答案)") : QStringLiteral("分"));
}

} // namespace ExamLayout
