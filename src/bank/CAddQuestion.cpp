#include "bank/CAddQuestion.h"

#include "store/SharedFiles.h"

#include "app/Command.h"
#include "app/FileDialogs.h"
#include "app/MessageBox.h"
#include "app/CShowMap.h"
#include "bank/QuestionStore.h"
#include "store/CADOConn.h"
#include "store/QuestionType.h"
#include "store/SettingsFile.h"
#include "store/Subjects.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPlainTextEdit>

namespace {

// In a lab the picture goes to the server, for every station.
bool sharePicture(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return SharedFiles::write(SharedFiles::Kind::Picture, QFileInfo(path).fileName(), file.readAll(), error);
}

using enum CAddQuestion::Ids;
constexpr int kOptionBoxes[5] = {OptionA, OptionB, OptionC, OptionD, OptionE};
constexpr int kOptionLabels[5] = {OptionALabel, OptionBLabel, OptionCLabel, OptionDLabel, OptionELabel};

} // namespace

CAddQuestion::CAddQuestion(QWidget *parent)
    : ScreenBase(127, KeyFilterMode::All, parent)
{
    runCommand(this, [this] {
        auto *subjects = control<QComboBox>(Subject);
        subjects->addItems(Subjects::readSubjects());
        subjects->setCurrentIndex(-1);
    });
    auto *groups = control<QComboBox>(Audience);
    groups->addItems(SettingsFile().audienceGroupList());
    groups->setCurrentIndex(-1);
    for (int id : {Type, Difficulty, Judge})
        control<QComboBox>(id)->setCurrentIndex(-1);
    for (int id : {Judge, JudgeLabel, JudgeHint})
        control(id)->hide();

    connect(control<QComboBox>(Type), &QComboBox::currentTextChanged, this, &CAddQuestion::switchLayout);
    onClick(Picture, [this] { choosePicture(); });
    onClick(Add, [this] { addQuestion(); });
    onClick(Clear, [this] { clearScreen(); });
    onClick(Exit, [this] { done(QDialog::Rejected); });
}

CAddQuestion::~CAddQuestion()
{
    destroyPictureWindow();
}

void CAddQuestion::done(int result)
{
    destroyPictureWindow();
    ScreenBase::done(result);
}

void CAddQuestion::place(int id, int left, int top, int right, int bottom)
{
    control(id)->setGeometry(left, top, right - left, bottom - top);
}

void CAddQuestion::switchLayout(const QString &type)
{
    QList<int> shown, hidden;
    const QList<int> labels{kOptionLabels[0], kOptionLabels[1], kOptionLabels[2], kOptionLabels[3], kOptionLabels[4]};
    const QList<int> boxes{kOptionBoxes[0], kOptionBoxes[1], kOptionBoxes[2], kOptionBoxes[3], kOptionBoxes[4]};
    if (QuestionType::is(type, QuestionType::Judge)) {
        shown = {JudgeHint, JudgeLabel, Judge};
        hidden = labels + boxes + QList<int>{AnswerLabel, Answer};
        place(JudgeLabel, 300, 180, 388, 196);
        place(JudgeHint, 270, 230, 402, 246);
        place(Judge, 300, 280, 372, 304);
    } else if (QuestionType::is(type, QuestionType::Blank) || QuestionType::is(type, QuestionType::Essay)) {
        shown = {JudgeLabel, Answer};
        hidden = labels + boxes + QList<int>{AnswerLabel, JudgeHint, Judge};
        place(JudgeLabel, 102, 180, 190, 196);
        place(Answer, 102, 210, 702, 310);
    } else if (QuestionType::isChoice(type)) {
        shown = labels + boxes + QList<int>{AnswerLabel, Answer};
        hidden = {JudgeHint, JudgeLabel, Judge};
        place(Answer, 122, 412, 222, 442);
    } else {
        return;
    }
    for (int id : hidden)
        if (!shown.contains(id))
            control(id)->hide();
    for (int id : shown)
        control(id)->show();
}

void CAddQuestion::choosePicture()
{
    const QString path = FileDialogs::openFile(
        this, QString(), QString(), QStringLiteral("所有文件 (*.*);;图片文件 (*.bmp);;图片文件 (*.jpg *.jpeg)"));
    if (path.isEmpty())
        return;
    m_picturePath = path;
    const QString extension = QFileInfo(path).suffix();
    if (extension != QLatin1String("jpg") && extension != QLatin1String("jpeg") && extension != QLatin1String("bmp")) {
        MessageBox::show(this, QStringLiteral("请选择jpg或jpeg或bmp文件"), Caption::Tip);
        return;
    }
    destroyPictureWindow();
    // Owned by this screen so its close box works while this screen is modal.
    m_window = CShowMap::showPicture(path, this);
}

ManualEntry CAddQuestion::readEntry() const
{
    ManualEntry e;
    e.subject = text(Subject);
    e.type = text(Type);
    e.difficulty = text(Difficulty);
    e.audience = text(Audience);
    e.judgeAnswer = text(Judge);
    e.stem = text(Stem);
    for (size_t i = 0; i < 5; ++i)
        e.options[i] = text(kOptionBoxes[i]);
    e.answerBox = text(Answer);
    return e;
}

void CAddQuestion::addQuestion()
{
    const ManualEntry entry = readEntry();
    if (const std::optional<Refusal> refusal = QuestionStore::checkEntry(entry)) {
        MessageBox::show(this, refusal->text, refusal->caption);
        return;
    }
    const Question q = entry.toQuestion();
    try {
        CADOConn conn;
        if (QuestionStore::isDuplicate(conn, q)) {
            conn.close();
            MessageBox::show(this, QStringLiteral("题目已存在，不能重复添加！"), Caption::Tip);
            return;
        }
        const int id = QuestionStore::insert(conn, q);
        conn.close();
        if (m_window && m_window->isVisible()) {
            const QString name = Question::pictureName(q.type, id);
            if (MessageBox::show(this, QStringLiteral("确认要导入图片文件?"), Caption::Tip, MsgIcon::Question,
                                 MsgButtons::YesNo)
                == MsgAnswer::Yes) {
                // 图片 is set all the same, so a picture file put there
                // later by hand belongs to the question.
                QString error;
                if (!m_window->capturePicture(Question::picturePath(name), &error)
                    || !sharePicture(Question::picturePath(name), &error))
                    MessageBox::show(this,
                                     QStringLiteral("图片文件 %1 保存失败：%2。\n题目已照常添加；问题解决后，可把图片以此文件名放到该位置。")
                                         .arg(Question::picturePath(name),
                                              error.isEmpty() ? QStringLiteral("图片无法读取") : error),
                                     Caption::Tip);
                if (id != 0) {
                    CADOConn pictureConn;
                    QuestionStore::setPicture(pictureConn, q.type, id, name);
                    pictureConn.close();
                }
            }
            destroyPictureWindow();
        }
    } catch (const DbError &) {
        MessageBox::show(this, QStringLiteral("题目添加失败！"), Caption::Tip);
        return;
    }
    MessageBox::show(this, QStringLiteral("题目添加成功!"), Caption::Tip);
}

void CAddQuestion::clearScreen()
{
    for (int id : {Stem, Answer, OptionA, OptionB, OptionC, OptionD, OptionE})
        setText(id, QString());
    // The layout stays that of the last type chosen.
    QComboBox *type = control<QComboBox>(Type);
    const QSignalBlocker block(type);
    for (int id : {Subject, Type, Judge, Difficulty, Audience})
        control<QComboBox>(id)->setCurrentIndex(-1);
}

void CAddQuestion::destroyPictureWindow()
{
    if (m_window)
        delete m_window.data();
    m_window = nullptr;
}
