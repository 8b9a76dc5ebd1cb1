#pragma once
// The exam window: the rules, the overview of question numbers, one
// question at a time with the controls of its type, the clock and the
// countdown, submission, and review afterwards.
#include "app/ScreenBase.h"
#include "exam/ExamHandover.h"
#include "exam/ExamRules.h"
#include "exam/ExamSheet.h"
#include "exam/ExamSubmission.h"
#include "exam/ExamWindowControls.h"
#include "exam/KeyboardLock.h"
#include "exam/SittingSync.h"
#include "store/Sitting.h"

#include <QBasicTimer>
#include <QLabel>
#include <QPointer>
#include <QSet>

#include <array>
#include <functional>
#include <optional>

#include "app/CShowMap.h"
class QButtonGroup;
class QScrollArea;

// A question number of the overview: centred, reports clicks, carries the
// mark painted over it.
class NumberLabel : public QLabel
{
    Q_OBJECT
public:
    NumberLabel(int number, QWidget *parent);
    int number() const { return m_number; }
    ExamScoring::Mark mark() const { return m_mark; }
    void setMark(ExamScoring::Mark mark);
    // Marked by the examinee to come back to.
    bool flagged() const { return m_flagged; }
    void setFlagged(bool flagged);

Q_SIGNALS:
    void clicked(int number);
    void flagToggled(int number);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    int m_number;
    ExamScoring::Mark m_mark = ExamScoring::Mark::None;
    bool m_flagged = false;
    QString m_markTip;
};

class CVornDlg : public ScreenBase, public ExamWindowControls
{
    Q_OBJECT
public:
    explicit CVornDlg(const ExamHandover &handover, QWidget *parent = nullptr);
    ~CVornDlg() override;

    // Test seam: the primary screen's size the window lays itself out for.
    static void setScreenSizeOverride(const QSize &size);

    const std::array<int, 5> &typeCounts() const { return m_typeCounts; }
    std::optional<int> currentNumber() const { return m_current; }
    bool reviewMode() const { return m_review; }
    const Countdown &countdown() const { return m_countdown; }
    bool countdownRunning() const { return m_timer2.isActive(); }
    const QStringList &keyEntries() const { return m_keyEntries; }
    BlankStem::Range blankRange(int k) const { return m_blank.range(k); }
    CShowMap *pictureWindow() const { return m_picture; }
    NumberLabel *numberLabel(int number) const;
    QScrollArea *overviewArea() const { return m_overview; }
    const ExamKeyboardLock &keyboardLock() const { return m_lock; }

    // One tick of timer 1 or 2, as the timers deliver them.
    void tick(int timer) { onTimer(timer); }

    void startExam();
    // False when the question could not be shown (none, or the program ends).
    bool showQuestion(int number);
    void saveAnswer(int number);
    void showBlankValue(int k, const QString &value);
    void submitExam();
    void dropExamTable();
    // Reads exam and sets the marks of the overview (the window's paint).
    void refreshMarks();
    // Flags a question to come back to, or takes the flag off (right click
    // on its number, F2 for the question shown).
    void toggleFlag(int number);
    const SittingTimer &sittingTimer() const { return m_sittingTimer; }
    // The time left as the sitting stores it: five seconds ahead of the
    // count, so a crash before the next write never gives time back.
    int storedSecondsLeft() const;

protected:
    void onTimer(int timer) override;
    void timerEvent(QTimerEvent *event) override;
    void paintPictures(QPainter &painter) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The frame cannot close the window; only its own commands leave it.
    void closeEvent(QCloseEvent *event) override;
    void reject() override {}

private:
    void buildOverview();
    void placeControls();
    void previousQuestion();
    void nextQuestion();
    void jumpTo(int number);
    void handIn();
    void timeUp();
    void goBack();
    void quit();
    void enterReview();
    void blankEdited(int k);
    void setCurrent(int number);
    void showOptions(const ExamQuestion &q, bool multi);
    bool showBlanks(const ExamQuestion &q);
    void applyStem();
    void closePicture();
    void showPictureWindow(const QString &path);
    void setShown(std::initializer_list<int> ids, bool shown);
    ShownAnswer shownAnswer(const QString &type) const;
    void startSitting();
    void saveTimeLeft();
    SittingSync::Writer &sync();
    void tellSync(SittingSync::State state);
    QString handInQuestion();

    ExamKeyboardLock m_lock; // held as long as the window object lives
    ExamHandover m_handover;
    std::array<int, 5> m_typeCounts{};
    std::optional<int> m_current;
    QStringList m_keyEntries;
    bool m_review = false;
    bool m_submitted = false;
    Countdown m_countdown;
    QBasicTimer m_timer2;
    SittingTimer m_sittingTimer;
    qint64 m_lastTimeWrite = 0;
    std::optional<SittingSync::Writer> m_sync;
    bool m_toldKept = false;
    bool m_submitRetry = false; // a hand-in waits for the lab's server
    std::optional<SubmitRequest> m_handIn; // the hand-in waiting for the server
    QSet<int> m_flags;
    BlankStem m_blank;
    QPointer<CShowMap> m_picture;
    int m_w = 0, m_h = 0;
    QScrollArea *m_overview = nullptr;
    QWidget *m_overviewContent = nullptr;
    QList<NumberLabel *> m_numbers;
    QButtonGroup *m_singleGroup = nullptr;
    QButtonGroup *m_judgeGroup = nullptr;
};
