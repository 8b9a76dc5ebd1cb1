#include "bank/CAddQuestion.h"

#include "bank/BankSeed.h"
#include "store/Encoding.h"
#include "support/Driving.h"
#include "support/VornTest.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class CAddQuestionTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        outsiderExec(Db::Questions, "insert into Subject (科目) values ('语文'), ('数学')");
        QFile ini(path("vornconf.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(Encoding::toGb("[object]\r\nname1=干部\r\nname2=\r\nname3=工人\r\n"));
    }

    // Pasted: the key filter swallows typed spaces.
    void paste(CAddQuestion &s, int id, const QString &text)
    {
        auto *box = s.control<QPlainTextEdit>(id);
        box->clear();
        box->setFocus();
        box->insertPlainText(text);
    }

    void fillSingle(CAddQuestion &s)
    {
        ASSERT_TRUE(choose(s, CAddQuestion::Subject, "语文"));
        ASSERT_TRUE(choose(s, CAddQuestion::Type, "单选题"));
        ASSERT_TRUE(choose(s, CAddQuestion::Difficulty, "简单"));
        ASSERT_TRUE(choose(s, CAddQuestion::Audience, "干部"));
        paste(s, CAddQuestion::Stem, "一加一等于几？");
        paste(s, CAddQuestion::OptionA, "1");
        paste(s, CAddQuestion::OptionB, "2");
        paste(s, CAddQuestion::OptionC, "3");
        paste(s, CAddQuestion::Answer, "B");
    }
    void fillJudge(CAddQuestion &s, const QString &stem)
    {
        ASSERT_TRUE(choose(s, CAddQuestion::Subject, "数学"));
        ASSERT_TRUE(choose(s, CAddQuestion::Type, "判断题"));
        ASSERT_TRUE(choose(s, CAddQuestion::Difficulty, "中等"));
        ASSERT_TRUE(choose(s, CAddQuestion::Audience, "工人"));
        ASSERT_TRUE(choose(s, CAddQuestion::Judge, "B"));
        paste(s, CAddQuestion::Stem, stem);
    }
    QString image(const QString &name)
    {
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(qRgb(200, 30, 30));
        const QString file = path(name);
        EXPECT_TRUE(img.save(file, "BMP"));
        return file;
    }
};

// Rows from the first to the last that hold ink, in an image on a plain ground.
int inkHeight(const QImage &image)
{
    const QRgb ground = image.pixel(image.width() - 1, 0);
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != ground) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

// True when the label shows its whole text: its ink is as tall as the same
// text drawn with room to spare.
bool showsWholeText(QLabel *label)
{
    const QImage shown = label->grab().toImage();
    QImage free(label->width(), label->height() + 60, QImage::Format_ARGB32);
    free.fill(shown.pixel(shown.width() - 1, 0));
    QPainter p(&free);
    p.setFont(label->font());
    p.setPen(label->palette().color(QPalette::WindowText));
    p.drawText(QRect(0, 30, free.width(), label->height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
               label->text());
    p.end();
    return inkHeight(shown) == inkHeight(free);
}

} // namespace

TEST_F(CAddQuestionTest, OpensWithTheListsAndTheChoiceLayout)
{
    CAddQuestion s;
    s.show();
    auto *subjects = s.control<QComboBox>(CAddQuestion::Subject);
    ASSERT_EQ(subjects->count(), 2);
    EXPECT_EQ(subjects->itemText(1), "数学");
    auto *groups = s.control<QComboBox>(CAddQuestion::Audience);
    ASSERT_EQ(groups->count(), 2); // empty slot 2 is left out
    EXPECT_EQ(groups->itemText(1), "工人");
    for (int id : {CAddQuestion::Subject, CAddQuestion::Type, CAddQuestion::Difficulty, CAddQuestion::Audience, CAddQuestion::Judge})
        EXPECT_EQ(s.control<QComboBox>(id)->currentIndex(), -1) << id;
    for (int id : {CAddQuestion::Judge, CAddQuestion::JudgeLabel, CAddQuestion::JudgeHint})
        EXPECT_FALSE(s.control(id)->isVisible()) << id;
    for (int id : {CAddQuestion::OptionALabel, CAddQuestion::OptionA, CAddQuestion::OptionE, CAddQuestion::AnswerLabel, CAddQuestion::Answer})
        EXPECT_TRUE(s.control(id)->isVisible()) << id;
}

TEST_F(CAddQuestionTest, TheTypeSwitchesTheLayoutAndClearingKeepsIt)
{
    CAddQuestion s;
    s.show();
    ASSERT_TRUE(choose(s, CAddQuestion::Type, "判断题"));
    EXPECT_EQ(s.control(CAddQuestion::JudgeLabel)->geometry(), QRect(300, 180, 88, 16));
    EXPECT_EQ(s.control(CAddQuestion::JudgeHint)->geometry(), QRect(270, 230, 132, 16));
    EXPECT_EQ(s.control(CAddQuestion::Judge)->geometry(), QRect(300, 280, 72, 24));
    EXPECT_TRUE(s.control(CAddQuestion::Judge)->isVisible());
    saveShot(&s, "CAddQuestion-judge");
    EXPECT_FALSE(s.control(CAddQuestion::Answer)->isVisible());
    EXPECT_FALSE(s.control(CAddQuestion::OptionA)->isVisible());

    paste(s, CAddQuestion::OptionA, "kept while hidden");
    ASSERT_TRUE(choose(s, CAddQuestion::Type, "问答题"));
    EXPECT_EQ(s.control(CAddQuestion::JudgeLabel)->geometry(), QRect(102, 180, 88, 16));
    EXPECT_EQ(s.control(CAddQuestion::Answer)->geometry(), QRect(102, 210, 600, 100));
    EXPECT_TRUE(s.control(CAddQuestion::JudgeLabel)->isVisible());
    EXPECT_FALSE(s.control(CAddQuestion::JudgeHint)->isVisible());
    saveShot(&s, "CAddQuestion-essay");
    EXPECT_FALSE(s.control(CAddQuestion::Judge)->isVisible());

    ASSERT_TRUE(choose(s, CAddQuestion::Type, "多选题"));
    EXPECT_EQ(s.control(CAddQuestion::Answer)->geometry(), QRect(122, 412, 100, 30));
    EXPECT_FALSE(s.control(CAddQuestion::JudgeLabel)->isVisible());
    saveShot(&s, "CAddQuestion-choice");
    EXPECT_EQ(s.text(CAddQuestion::OptionA), "kept while hidden");

    ASSERT_TRUE(choose(s, CAddQuestion::Type, "填空题"));
    click(s, CAddQuestion::Clear);
    EXPECT_EQ(s.control<QComboBox>(CAddQuestion::Type)->currentIndex(), -1);
    EXPECT_EQ(s.text(CAddQuestion::OptionA), "");
    EXPECT_TRUE(s.control(CAddQuestion::JudgeLabel)->isVisible()); // still the 填空题 layout
    EXPECT_EQ(s.control(CAddQuestion::Answer)->geometry(), QRect(102, 210, 600, 100));
}

TEST_F(CAddQuestionTest, EveryLayoutReadsCleanly)
{
    CAddQuestion s;
    s.show();
    for (const char *type : {"单选题", "判断题", "填空题"}) {
        ASSERT_TRUE(choose(s, CAddQuestion::Type, type));
        for (QLabel *label : s.findChildren<QLabel *>()) {
            if (label->isVisible()) {
                EXPECT_TRUE(showsWholeText(label)) << type << ": " << label->text().toStdString() << " is cut";
            }
        }
    }
    // The answer box of the choice layout holds its letters without a scroll bar.
    ASSERT_TRUE(choose(s, CAddQuestion::Type, "多选题"));
    paste(s, CAddQuestion::Answer, "ABCDE");
    QApplication::processEvents();
    saveShot(&s, "CAddQuestion-answer");
    auto *answer = s.control<QPlainTextEdit>(CAddQuestion::Answer);
    EXPECT_FALSE(answer->verticalScrollBar()->isVisible());
    EXPECT_FALSE(answer->horizontalScrollBar()->isVisible());
    // Only a text that does not fit brings one.
    paste(s, CAddQuestion::Answer, "A\nB\nC\nD");
    QApplication::processEvents();
    EXPECT_TRUE(answer->verticalScrollBar()->isVisible());
}

TEST_F(CAddQuestionTest, AddsOnceAndRefusesTheDuplicate)
{
    CAddQuestion s;
    s.show();
    expectBox("请选择题型！", Caption::Remind);
    click(s, CAddQuestion::Add);

    fillSingle(s);
    paste(s, CAddQuestion::OptionC, "");
    expectBox("添加数据不能为空！", Caption::Remind);
    click(s, CAddQuestion::Add);

    paste(s, CAddQuestion::OptionC, "3");
    expectBox("题目添加成功!", Caption::Tip);
    click(s, CAddQuestion::Add);
    // The boxes keep their contents for the next question.
    EXPECT_EQ(s.text(CAddQuestion::Stem), "一加一等于几？");
    ASSERT_TRUE(choose(s, CAddQuestion::Difficulty, "困难"));
    expectBox("题目已存在，不能重复添加！", Caption::Tip);
    click(s, CAddQuestion::Add);

    const auto rows = outsiderRows(Db::Questions, "select 科目,题型,题干,答案,A,B,C,D,E,难度,对象,图片 from 单选题");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], QStringList({"语文", "单选题", "一加一等于几？", "B", "1", "2", "3", "", "", "简单", "干部", QString()}));
    EXPECT_FALSE(rows[0][7].isNull());
    EXPECT_TRUE(rows[0][11].isNull());
}

TEST_F(CAddQuestionTest, AnOverLongFieldIsRefusedBeforeAnythingIsWritten)
{
    CAddQuestion s;
    s.show();
    fillSingle(s);
    paste(s, CAddQuestion::OptionD, QString(256, QChar(0x6587)));
    expectBox("选项D超过255个字符，添加失败！", Caption::Tip);
    click(s, CAddQuestion::Add);
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from 单选题").isEmpty());
    paste(s, CAddQuestion::OptionD, QString(255, QChar(0x6587)));
    expectBox("题目添加成功!", Caption::Tip);
    click(s, CAddQuestion::Add);
    EXPECT_EQ(outsiderRows(Db::Questions, "select length(D) from 单选题")[0][0], "255");
}

TEST_F(CAddQuestionTest, AJudgeQuestionStoresItsFixedOptionsAndQuotesAreFine)
{
    CAddQuestion s;
    s.show();
    fillJudge(s, "It's false");
    expectBox("题目添加成功!", Caption::Tip);
    click(s, CAddQuestion::Add);
    const auto rows = outsiderRows(Db::Questions, "select 题干,答案,A,B,C from 判断题");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].mid(0, 4), QStringList({"It's false", "B", "正确", "错误"}));
    EXPECT_TRUE(rows[0][4].isNull());
}

TEST_F(CAddQuestionTest, APictureIsStoredUnderTheQuestionsName)
{
    outsiderExec(Db::Questions, "insert into 判断题 (题干) values ('1'),('2'),('3'),('4'),('5'),('6')");
    CAddQuestion s;
    s.show();
    const QString picture = image("photo.bmp");
    QFile::copy(picture, path("photo.JPG"));

    answerFileDialog(path("photo.JPG"));
    expectBox("请选择jpg或jpeg或bmp文件", Caption::Tip);
    click(s, CAddQuestion::Picture);
    EXPECT_EQ(s.pictureWindow(), nullptr);

    answerFileDialog(picture);
    click(s, CAddQuestion::Picture);
    ASSERT_NE(s.pictureWindow(), nullptr);
    EXPECT_TRUE(s.pictureWindow()->isVisible());

    fillJudge(s, "图中是红色吗");
    expectBox("确认要导入图片文件?", Caption::Tip, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("题目添加成功!", Caption::Tip);
    click(s, CAddQuestion::Add);
    EXPECT_EQ(s.pictureWindow(), nullptr);
    EXPECT_EQ(outsiderRows(Db::Questions, "select ID, 图片 from 判断题 where 题干='图中是红色吗'")[0],
              QStringList({"7", "判断题7"}));
    const QImage stored(path("QuestionMap/判断题7.bmp"));
    ASSERT_FALSE(stored.isNull());
    EXPECT_EQ(stored.pixel(5, 5), qRgb(200, 30, 30));

    // Answering No stores no picture and closes the window.
    answerFileDialog(picture);
    click(s, CAddQuestion::Picture);
    fillJudge(s, "第二题");
    expectBox("确认要导入图片文件?", Caption::Tip, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    expectBox("题目添加成功!", Caption::Tip);
    click(s, CAddQuestion::Add);
    EXPECT_EQ(s.pictureWindow(), nullptr);
    EXPECT_TRUE(outsiderRows(Db::Questions, "select 图片 from 判断题 where 题干='第二题'")[0][0].isNull());

    // A window closed by its close box counts as none: nothing is asked.
    answerFileDialog(picture);
    click(s, CAddQuestion::Picture);
    s.pictureWindow()->close();
    fillJudge(s, "第三题");
    expectBox("题目添加成功!", Caption::Tip);
    click(s, CAddQuestion::Add);
    EXPECT_TRUE(outsiderRows(Db::Questions, "select 图片 from 判断题 where 题干='第三题'")[0][0].isNull());
}

// Records the windows a modal screen blocks from input.
class BlockedWindows : public QObject
{
public:
    BlockedWindows() { qApp->installEventFilter(this); }
    ~BlockedWindows() override { qApp->removeEventFilter(this); }
    QSet<QObject *> blocked;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowBlocked)
            blocked.insert(watched);
        else if (event->type() == QEvent::WindowUnblocked)
            blocked.remove(watched);
        return false;
    }
};

TEST_F(CAddQuestionTest, ThePictureWindowCanBeClosedWhileTheEntryScreenIsModal)
{
    BlockedWindows windows;
    CAddQuestion s;
    const QString picture = image("photo.bmp");
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        EXPECT_EQ(QApplication::activeModalWidget(), &s);
        answerFileDialog(picture);
        click(s, CAddQuestion::Picture);
        CShowMap *window = s.pictureWindow();
        if (!window) {
            ADD_FAILURE() << "no picture window";
            s.done(0);
            return;
        }
        QApplication::processEvents();
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(windows.blocked.contains(window)) << "the modal entry screen blocks the picture window";
        EXPECT_FALSE(windows.blocked.contains(window->windowHandle()));
        // Its close box hides it: 添加 stores no picture and asks nothing.
        window->close();
        EXPECT_FALSE(window->isVisible());
        fillSingle(s);
        expectBox("题目添加成功!", Caption::Tip);
        click(s, CAddQuestion::Add);
        click(s, CAddQuestion::Exit);
    });
    s.exec();
    EXPECT_TRUE(ran);
    expectAllShown();
    const auto rows = outsiderRows(Db::Questions, "select 题干, 图片 from 单选题");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0][1].isNull());
    EXPECT_TRUE(QDir(path("QuestionMap")).entryList(QDir::Files).isEmpty());
}

TEST_F(CAddQuestionTest, WithoutThePictureFolderThePictureNameIsStillSet)
{
    ASSERT_TRUE(QDir(path("QuestionMap")).removeRecursively());
    CAddQuestion s;
    s.show();
    answerFileDialog(image("photo.bmp"));
    click(s, CAddQuestion::Picture);
    fillSingle(s);
    expectBox("确认要导入图片文件?", Caption::Tip, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("图片文件 QuestionMap/单选题1.bmp 保存失败：文件夹不存在。\n"
              "题目已照常添加；问题解决后，可把图片以此文件名放到该位置。",
              Caption::Tip);
    expectBox("题目添加成功!", Caption::Tip);
    click(s, CAddQuestion::Add);
    EXPECT_EQ(outsiderRows(Db::Questions, "select 图片 from 单选题")[0][0], "单选题1");
    EXPECT_FALSE(QDir(path("QuestionMap")).exists());
}

TEST_F(CAddQuestionTest, ADatabaseErrorIsReportedAsAFailedAdd)
{
    outsiderExec(Db::Questions, "drop table 填空题");
    CAddQuestion s;
    s.show();
    ASSERT_TRUE(choose(s, CAddQuestion::Subject, "语文"));
    ASSERT_TRUE(choose(s, CAddQuestion::Type, "填空题"));
    ASSERT_TRUE(choose(s, CAddQuestion::Difficulty, "简单"));
    ASSERT_TRUE(choose(s, CAddQuestion::Audience, "干部"));
    paste(s, CAddQuestion::Stem, "【】是首都");
    paste(s, CAddQuestion::Answer, "北京");
    expectBox("题目添加失败！", Caption::Tip);
    click(s, CAddQuestion::Add);
}
