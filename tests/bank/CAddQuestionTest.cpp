#include "bank/CAddQuestion.h"

#include "bank/BankSeed.h"
#include "store/Encoding.h"
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

    void choose(CAddQuestion &s, int id, const QString &item)
    {
        auto *combo = s.control<QComboBox>(id);
        const int index = combo->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        combo->setCurrentIndex(index);
    }
    void type(CAddQuestion &s, int id, const QString &text)
    {
        auto *box = s.control<QPlainTextEdit>(id);
        box->clear();
        box->setFocus();
        box->insertPlainText(text); // pasted: the key filter swallows typed spaces
    }
    void click(CAddQuestion &s, int id) { QTest::mouseClick(s.control<QPushButton>(id), Qt::LeftButton); }

    void fillSingle(CAddQuestion &s)
    {
        choose(s, 1219, "语文");
        choose(s, 1218, "单选题");
        choose(s, 1216, "简单");
        choose(s, 1231, "干部");
        type(s, 1082, "一加一等于几？");
        type(s, 1061, "1");
        type(s, 1272, "2");
        type(s, 1273, "3");
        type(s, 1276, "B");
    }
    void fillJudge(CAddQuestion &s, const QString &stem)
    {
        choose(s, 1219, "数学");
        choose(s, 1218, "判断题");
        choose(s, 1216, "中等");
        choose(s, 1231, "工人");
        choose(s, 1217, "B");
        type(s, 1082, stem);
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
    auto *subjects = s.control<QComboBox>(1219);
    ASSERT_EQ(subjects->count(), 2);
    EXPECT_EQ(subjects->itemText(1), "数学");
    auto *groups = s.control<QComboBox>(1231);
    ASSERT_EQ(groups->count(), 2); // empty slot 2 is left out
    EXPECT_EQ(groups->itemText(1), "工人");
    for (int id : {1219, 1218, 1216, 1231, 1217})
        EXPECT_EQ(s.control<QComboBox>(id)->currentIndex(), -1) << id;
    for (int id : {1217, 1049, 1278})
        EXPECT_FALSE(s.control(id)->isVisible()) << id;
    for (int id : {1059, 1061, 1275, 1057, 1276})
        EXPECT_TRUE(s.control(id)->isVisible()) << id;
}

TEST_F(CAddQuestionTest, TheTypeSwitchesTheLayoutAndClearingKeepsIt)
{
    CAddQuestion s;
    s.show();
    choose(s, 1218, "判断题");
    EXPECT_EQ(s.control(1049)->geometry(), QRect(300, 180, 88, 16));
    EXPECT_EQ(s.control(1278)->geometry(), QRect(270, 230, 132, 16));
    EXPECT_EQ(s.control(1217)->geometry(), QRect(300, 280, 72, 24));
    EXPECT_TRUE(s.control(1217)->isVisible());
    saveShot(&s, "CAddQuestion-judge");
    EXPECT_FALSE(s.control(1276)->isVisible());
    EXPECT_FALSE(s.control(1061)->isVisible());

    type(s, 1061, "kept while hidden");
    choose(s, 1218, "问答题");
    EXPECT_EQ(s.control(1049)->geometry(), QRect(102, 180, 88, 16));
    EXPECT_EQ(s.control(1276)->geometry(), QRect(102, 210, 600, 100));
    EXPECT_TRUE(s.control(1049)->isVisible());
    EXPECT_FALSE(s.control(1278)->isVisible());
    saveShot(&s, "CAddQuestion-essay");
    EXPECT_FALSE(s.control(1217)->isVisible());

    choose(s, 1218, "多选题");
    EXPECT_EQ(s.control(1276)->geometry(), QRect(122, 412, 100, 30));
    EXPECT_FALSE(s.control(1049)->isVisible());
    saveShot(&s, "CAddQuestion-choice");
    EXPECT_EQ(s.text(1061), "kept while hidden");

    choose(s, 1218, "填空题");
    click(s, 1228);
    EXPECT_EQ(s.control<QComboBox>(1218)->currentIndex(), -1);
    EXPECT_EQ(s.text(1061), "");
    EXPECT_TRUE(s.control(1049)->isVisible()); // still the 填空题 layout
    EXPECT_EQ(s.control(1276)->geometry(), QRect(102, 210, 600, 100));
}

TEST_F(CAddQuestionTest, EveryLayoutReadsCleanly)
{
    CAddQuestion s;
    s.show();
    for (const char *type : {"单选题", "判断题", "填空题"}) {
        choose(s, 1218, type);
        for (QLabel *label : s.findChildren<QLabel *>()) {
            if (label->isVisible()) {
                EXPECT_TRUE(showsWholeText(label)) << type << ": " << label->text().toStdString() << " is cut";
            }
        }
    }
    // The answer box of the choice layout holds its letters without a scroll bar.
    choose(s, 1218, "多选题");
    type(s, 1276, "ABCDE");
    QApplication::processEvents();
    saveShot(&s, "CAddQuestion-answer");
    auto *answer = s.control<QPlainTextEdit>(1276);
    EXPECT_FALSE(answer->verticalScrollBar()->isVisible());
    EXPECT_FALSE(answer->horizontalScrollBar()->isVisible());
    // Only a text that does not fit brings one.
    type(s, 1276, "A\nB\nC\nD");
    QApplication::processEvents();
    EXPECT_TRUE(answer->verticalScrollBar()->isVisible());
}

TEST_F(CAddQuestionTest, AddsOnceAndRefusesTheDuplicate)
{
    CAddQuestion s;
    s.show();
    expectBox("请选择题型！", Caption::Remind);
    click(s, 1229);

    fillSingle(s);
    type(s, 1273, "");
    expectBox("添加数据不能为空！", Caption::Remind);
    click(s, 1229);

    type(s, 1273, "3");
    expectBox("题目添加成功!", Caption::Tip);
    click(s, 1229);
    // The boxes keep their contents for the next question.
    EXPECT_EQ(s.text(1082), "一加一等于几？");
    choose(s, 1216, "困难");
    expectBox("题目已存在，不能重复添加！", Caption::Tip);
    click(s, 1229);

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
    type(s, 1274, QString(256, QChar(0x6587)));
    expectBox("选项D超过255个字符，添加失败！", Caption::Tip);
    click(s, 1229);
    EXPECT_TRUE(outsiderRows(Db::Questions, "select * from 单选题").isEmpty());
    type(s, 1274, QString(255, QChar(0x6587)));
    expectBox("题目添加成功!", Caption::Tip);
    click(s, 1229);
    EXPECT_EQ(outsiderRows(Db::Questions, "select length(D) from 单选题")[0][0], "255");
}

TEST_F(CAddQuestionTest, AJudgeQuestionStoresItsFixedOptionsAndQuotesAreFine)
{
    CAddQuestion s;
    s.show();
    fillJudge(s, "It's false");
    expectBox("题目添加成功!", Caption::Tip);
    click(s, 1229);
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
    click(s, 1230);
    EXPECT_EQ(s.pictureWindow(), nullptr);

    answerFileDialog(picture);
    click(s, 1230);
    ASSERT_NE(s.pictureWindow(), nullptr);
    EXPECT_TRUE(s.pictureWindow()->isVisible());

    fillJudge(s, "图中是红色吗");
    expectBox("确认要导入图片文件?", Caption::Tip, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("题目添加成功!", Caption::Tip);
    click(s, 1229);
    EXPECT_EQ(s.pictureWindow(), nullptr);
    EXPECT_EQ(outsiderRows(Db::Questions, "select ID, 图片 from 判断题 where 题干='图中是红色吗'")[0],
              QStringList({"7", "判断题7"}));
    const QImage stored(path("QuestionMap/判断题7.bmp"));
    ASSERT_FALSE(stored.isNull());
    EXPECT_EQ(stored.pixel(5, 5), qRgb(200, 30, 30));

    // Answering No stores no picture and closes the window.
    answerFileDialog(picture);
    click(s, 1230);
    fillJudge(s, "第二题");
    expectBox("确认要导入图片文件?", Caption::Tip, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    expectBox("题目添加成功!", Caption::Tip);
    click(s, 1229);
    EXPECT_EQ(s.pictureWindow(), nullptr);
    EXPECT_TRUE(outsiderRows(Db::Questions, "select 图片 from 判断题 where 题干='第二题'")[0][0].isNull());

    // A window closed by its close box counts as none: nothing is asked.
    answerFileDialog(picture);
    click(s, 1230);
    s.pictureWindow()->close();
    fillJudge(s, "第三题");
    expectBox("题目添加成功!", Caption::Tip);
    click(s, 1229);
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
        click(s, 1230);
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
        click(s, 1229);
        click(s, 1207);
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
    click(s, 1230);
    fillSingle(s);
    expectBox("确认要导入图片文件?", Caption::Tip, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("图片文件 QuestionMap/单选题1.bmp 保存失败：文件夹不存在。\n"
              "题目已照常添加；问题解决后，可把图片以此文件名放到该位置。",
              Caption::Tip);
    expectBox("题目添加成功!", Caption::Tip);
    click(s, 1229);
    EXPECT_EQ(outsiderRows(Db::Questions, "select 图片 from 单选题")[0][0], "单选题1");
    EXPECT_FALSE(QDir(path("QuestionMap")).exists());
}

TEST_F(CAddQuestionTest, ADatabaseErrorIsReportedAsAFailedAdd)
{
    outsiderExec(Db::Questions, "drop table 填空题");
    CAddQuestion s;
    s.show();
    choose(s, 1219, "语文");
    choose(s, 1218, "填空题");
    choose(s, 1216, "简单");
    choose(s, 1231, "干部");
    type(s, 1082, "【】是首都");
    type(s, 1276, "北京");
    expectBox("题目添加失败！", Caption::Tip);
    click(s, 1229);
}
