#include "app/DialogTemplate.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <ostream>

#include <gtest/gtest.h>

namespace {

// The screens' table: every dialog's class, caption, size in dialog units,
// font and frame. A template that has not been written yet is skipped.
struct DialogRow
{
    int id;
    const char *className;
    const char *caption;
    int width;
    int height;
    int points;
    const char *face;
    const char *frame;   // min, close, none (no close box), sizing
    bool taskbar = true; // looked at for frame "min" only
};

const DialogRow kDialogs[] = {
    {104, "CLogin", "Lumet—登录Login", 396, 295, 12, "宋体", "min"},
    {106, "CAdmin", "Lumet—系统管理员管理", 374, 228, 12, "宋体", "min"},
    {107, "CExamManager", "Lumet—考试管理员管理", 390, 366, 11, "宋体", "min"},
    {108, "CImportExaminee", "Lumet—导入考生提示", 217, 168, 12, "宋体", "min", false},
    {116, "CExamManagement", "Lumet—考试管理", 477, 353, 11, "宋体", "min"},
    {117, "CCreateExam", "Lumet—创建考试", 477, 353, 11, "宋体", "min"},
    {105, "CExamLogin", "Lumet—考试登录", 467, 353, 11, "宋体", "min"},
    {102, "CVornDlg", "Lumet", 447, 339, 12, "宋体", "none"},
    {109, "CExamPaper", "Lumet—题库管理", 477, 353, 11, "宋体", "min"},
    {127, "CAddQuestion", "手动添加题目", 380, 280, 12, "宋体", "close"},
    {121, "CShowMap", "考题图片", 320, 200, 9, "MS Shell Dlg", "close"},
    {126, "CExamInandout", "Lumet—题库导入或删除", 230, 180, 12, "宋体", "close"},
    {111, "CVariouSet", "Lumet—各种设置", 464, 308, 11, "宋体", "min"},
    {113, "CAddAltNode", "Lumet—添加或修改节点", 132, 112, 12, "宋体", "close"},
    {133, "CExtendTime", "Lumet—延长时间", 150, 100, 12, "宋体", "close"},
    {115, "CSetPaper", "Lumet—组卷", 477, 353, 11, "宋体", "min"},
    {114, "CTestManage", "Lumet—试卷管理", 480, 353, 11, "宋体", "min"},
    {125, "CWordPaper", "Lumet—生成纸质考卷", 215, 145, 11, "宋体", "close"},
    {119, "CCheckScore", "Lumet—成绩查询", 477, 353, 11, "宋体", "min"},
    {129, "CHandworkCorrect", "问答题手工批卷窗口", 477, 353, 12, "宋体", "close"},
    {134, "CItemAnalysis", "Lumet—试题分析", 477, 353, 11, "宋体", "min"},
    {120, "CScoreMap", "Lumet—成绩统计", 388, 410, 9, "MS Shell Dlg", "sizing"},
    {122, "CMyMsgDlg", "", 127, 95, 10, "宋体", "close"}, // caption set at run time
};

class DialogTemplates : public ::testing::TestWithParam<DialogRow>
{
};

void PrintTo(const DialogRow &row, std::ostream *os)
{
    *os << row.id << ' ' << row.className;
}

QString sizeText(const QSize &s)
{
    return QStringLiteral("%1 x %2").arg(s.width()).arg(s.height());
}

} // namespace

TEST_P(DialogTemplates, MatchTheScreensTable)
{
    const DialogRow &row = GetParam();
    const DialogTemplate t = DialogTemplate::load(row.id);
    ASSERT_EQ(t.id, row.id) << "the template is not among the program's resources";
    EXPECT_EQ(t.className, QString::fromUtf8(row.className));
    EXPECT_EQ(t.caption, QString::fromUtf8(row.caption));
    EXPECT_EQ(sizeText(t.size), sizeText(QSize(row.width, row.height)));
    EXPECT_EQ(t.pointSize, row.points);
    EXPECT_EQ(t.face, QString::fromUtf8(row.face));
    EXPECT_EQ(t.frame, QString::fromUtf8(row.frame));
    if (t.frame == QLatin1String("min")) {
        EXPECT_EQ(t.taskbar, row.taskbar);
    }
    // Every control lies inside the dialog.
    for (const ControlTemplate &c : t.controls)
        EXPECT_TRUE(QRect(QPoint(0, 0), t.size).contains(c.rect) || c.rect.isEmpty())
            << "control " << c.id << " " << c.text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(All, DialogTemplates, ::testing::ValuesIn(kDialogs),
                         [](const ::testing::TestParamInfo<DialogRow> &param) {
                             return std::to_string(param.param.id) + "_" + param.param.className;
                         });

TEST(DialogTemplates, EveryTemplateIsInTheScreensTable)
{
    const QStringList files = QDir(QStringLiteral(VORN_SOURCE_DIR "/res/dialogs")).entryList({"*.json"}, QDir::Files);
    EXPECT_FALSE(files.isEmpty());
    for (const QString &file : files) {
        const int id = QFileInfo(file).baseName().toInt();
        const bool listed = std::any_of(std::begin(kDialogs), std::end(kDialogs),
                                        [id](const DialogRow &r) { return r.id == id; });
        EXPECT_TRUE(listed) << file.toStdString();
    }
}
