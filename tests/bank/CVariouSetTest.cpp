#include "bank/CAddAltNode.h"
#include "bank/CVariouSet.h"
#include "store/CADOConn.h"
#include "store/Encoding.h"
#include "store/SettingsFile.h"
#include "store/WorkDir.h"

#include "support/Driving.h"
#include "support/FullDisk.h"
#include "support/VornTest.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QHeaderView>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace {

class CVariouSetTest : public VornTest
{
protected:
    std::unique_ptr<CVariouSet> open()
    {
        auto screen = std::make_unique<CVariouSet>();
        screen->show();
        return screen;
    }

    static QTreeWidget *treeOf(CVariouSet &s) { return s.control<QTreeWidget>(CVariouSet::Tree); }
    static QTreeWidgetItem *rootOf(CVariouSet &s) { return treeOf(s)->topLevelItem(0); }

    // Right-clicks the node and picks the menu entry with that label.
    void menuCommand(CVariouSet &s, QTreeWidgetItem *node, const QString &label)
    {
        QTreeWidget *tree = treeOf(s);
        tree->scrollToItem(node);
        whenShown<QMenu>([label](QMenu *menu) {
            QStringList labels;
            for (QAction *a : menu->actions())
                labels << a->text();
            EXPECT_EQ(labels, (QStringList{"添  加", "修  改", "删  除"}));
            for (QAction *a : menu->actions())
                if (a->text() == label)
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
        });
        const QPoint at = tree->visualItemRect(node).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &event);
    }

    // The pop-up answers: type the name and press 保存 (or 取消 with cancel).
    void answerNode(const QString &name, bool cancel = false, QString *shownName = nullptr)
    {
        whenShown<CAddAltNode>([=](CAddAltNode *dlg) {
            saveShot(dlg, "CAddAltNode");
            if (shownName)
                *shownName = dlg->text(CAddAltNode::CurrentName);
            typeText(dlg->control(CAddAltNode::Name), name);
            QTest::mouseClick(dlg->control<QPushButton>(cancel ? CAddAltNode::Cancel : CAddAltNode::Save), Qt::LeftButton);
        });
    }

    void addUnder(CVariouSet &s, QTreeWidgetItem *node, const QString &name)
    {
        answerNode(name);
        menuCommand(s, node, QStringLiteral("添  加"));
    }

    static QStringList subjectRows(CVariouSet &s)
    {
        auto *list = s.control<QTableWidget>(CVariouSet::Subjects);
        QStringList rows;
        for (int r = 0; r < list->rowCount(); ++r)
            rows << list->item(r, 0)->text() + u' ' + list->item(r, 1)->text();
        return rows;
    }

    QStringList storedSubjects()
    {
        QStringList names;
        for (const QStringList &row : outsiderRows(Db::Questions, "select 科目 from Subject order by ID"))
            names << row.at(0);
        return names;
    }

    static QStringList groupEdits(CVariouSet &s)
    {
        return {s.text(CVariouSet::Group1), s.text(CVariouSet::Group2), s.text(CVariouSet::Group3), s.text(CVariouSet::Group4)};
    }
};

} // namespace

TEST_F(CVariouSetTest, WithoutSettingsFileShowsTheRootAloneAndRefusesToSave)
{
    auto s = open();
    EXPECT_EQ(s->windowTitle(), QStringLiteral("Lumet—各种设置"));
    ASSERT_EQ(treeOf(*s)->topLevelItemCount(), 1);
    EXPECT_EQ(rootOf(*s)->text(0), QStringLiteral("Teskar"));
    EXPECT_EQ(s->text(CVariouSet::TreeRoot), QStringLiteral("Teskar"));
    EXPECT_EQ(rootOf(*s)->childCount(), 0);
    EXPECT_FALSE(s->control(CVariouSet::HiddenEdit1)->isVisible());
    EXPECT_FALSE(s->control(CVariouSet::HiddenEdit2)->isVisible());
    EXPECT_EQ(groupEdits(*s), (QStringList{"", "", "", ""}));
    EXPECT_EQ(s->control<QComboBox>(CVariouSet::BankSubjects)->count(), 0);

    expectBox("请添加部门或岗位！", Caption::Tip);
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::SaveTree), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(path("vornconf.ini")));
}

TEST_F(CVariouSetTest, OpensTheStoredTreeWithTheRootOpenOnlyWhenThereArePosts)
{
    SettingsFile().writeDepartmentTree({{QStringLiteral("销售部"), {}}, {QStringLiteral("技术部"), {}}});
    {
        auto s = open();
        EXPECT_EQ(rootOf(*s)->childCount(), 2);
        EXPECT_FALSE(rootOf(*s)->isExpanded());
    }
    SettingsFile().writeDepartmentTree({{QStringLiteral("销售部"), {}}, {QStringLiteral("技术部"), {QStringLiteral("工程师")}}});
    auto s = open();
    EXPECT_TRUE(rootOf(*s)->isExpanded());
    EXPECT_FALSE(rootOf(*s)->child(1)->isExpanded());
    EXPECT_EQ(rootOf(*s)->child(1)->child(0)->text(0), QStringLiteral("工程师"));
}

TEST_F(CVariouSetTest, TheTreeDrawsItsLinesAndTheSubjectsFitTheirList)
{
    SettingsFile().writeDepartmentTree({{QStringLiteral("销售部"), {QStringLiteral("经理")}},
                                        {QStringLiteral("技术部"), {QStringLiteral("工程师"), QStringLiteral("测试")}},
                                        {QStringLiteral("财务部"), {}}});
    for (int i = 1; i <= 20; ++i)
        outsiderExec(Db::Questions, "insert into Subject (科目) values (?)", {QStringLiteral("科目%1").arg(i)});
    auto s = open();
    rootOf(*s)->child(1)->setExpanded(true);
    QApplication::processEvents();
    saveShot(s.get(), "CVariouSet-filled");

    // Dotted lines join the departments in the root's column, left of their buttons.
    QTreeWidget *tree = treeOf(*s);
    const QImage shown = tree->viewport()->grab().toImage();
    const QRgb ground = shown.pixel(shown.width() - 1, shown.height() - 1);
    const int top = tree->visualItemRect(rootOf(*s)->child(0)).top();
    const int bottom = tree->visualItemRect(rootOf(*s)->child(2)).top();
    int lineRows = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = tree->indentation(); x < 2 * tree->indentation(); ++x)
            if (shown.pixel(x, y) != ground) {
                ++lineRows;
                break;
            }
    EXPECT_GT(lineRows, (bottom - top) / 3) << "no line joins the departments";

    // The two columns fit beside a vertical scroll bar: no horizontal one.
    auto *list = s->control<QTableWidget>(CVariouSet::Subjects);
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_EQ(list->columnWidth(0), 42);
    EXPECT_EQ(list->columnWidth(1), 200);
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
}

TEST_F(CVariouSetTest, BuildsTheTreeThroughTheMenuAndSavesIt)
{
    auto s = open();
    QTreeWidgetItem *root = rootOf(*s);
    addUnder(*s, root, QStringLiteral("销售部"));
    addUnder(*s, root, QStringLiteral("技术部"));
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("技术部"));
    // The new node is shown chosen, its closed parent opened.
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(treeOf(*s)->currentItem(), root->child(1));

    addUnder(*s, root->child(0), QStringLiteral("经理"));
    addUnder(*s, root->child(0), QStringLiteral("O'Brien"));
    EXPECT_TRUE(root->child(0)->isExpanded());
    EXPECT_EQ(treeOf(*s)->currentItem(), root->child(0)->child(1));
    EXPECT_TRUE(treeOf(*s)->viewport()->rect().contains(treeOf(*s)->visualItemRect(root->child(0)->child(1))));

    // Below a post nothing more can be added.
    expectBox("已是第三层节点，不能再往下添加了！", Caption::Tip);
    menuCommand(*s, root->child(0)->child(0), QStringLiteral("添  加"));

    // Rename shows the current name; the posts stay under the renamed node.
    QString shown;
    answerNode(QStringLiteral("市场部"), false, &shown);
    menuCommand(*s, root->child(0), QStringLiteral("修  改"));
    EXPECT_EQ(shown, QStringLiteral("销售部"));
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("市场部"));
    EXPECT_EQ(root->child(0)->childCount(), 2);

    // Cancelled: nothing changes.
    answerNode(QStringLiteral("不要"), true);
    menuCommand(*s, root->child(1), QStringLiteral("修  改"));
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("技术部"));

    expectBox("根节点不能修改！", Caption::Tip);
    menuCommand(*s, root, QStringLiteral("修  改"));
    expectBox("根节点不能删除！", Caption::Tip);
    menuCommand(*s, root, QStringLiteral("删  除"));
    EXPECT_EQ(root->text(0), QStringLiteral("Teskar"));

    QTest::mouseClick(s->control<QPushButton>(CVariouSet::SaveTree), Qt::LeftButton);
    EXPECT_EQ(SettingsFile().readDepartmentTree(),
              (DepartmentTree{{QStringLiteral("市场部"), {QStringLiteral("经理"), QStringLiteral("O'Brien")}},
                              {QStringLiteral("技术部"), {}}}));

    // Deleting a department takes its posts; saving renumbers the rest.
    menuCommand(*s, root->child(0), QStringLiteral("删  除"));
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::SaveTree), Qt::LeftButton);
    EXPECT_EQ(SettingsFile().readDepartmentTree(), (DepartmentTree{{QStringLiteral("技术部"), {}}}));
    EXPECT_FALSE(Encoding::fromGb([&] {
                     QFile f(path("vornconf.ini"));
                     f.open(QIODevice::ReadOnly);
                     return f.readAll();
                 }()).contains(QStringLiteral("department2")));

    // Leaving and coming back shows what was saved.
    s.reset();
    auto again = open();
    ASSERT_EQ(rootOf(*again)->childCount(), 1);
    EXPECT_EQ(rootOf(*again)->child(0)->text(0), QStringLiteral("技术部"));
}

TEST_F(CVariouSetTest, NodeEditorRefusesSemicolonsAndKeepsTheStandardKeys)
{
    auto s = open();
    QTreeWidgetItem *root = rootOf(*s);

    // ";" is refused and the pop-up stays open for a corrected name.
    expectBox("名称中不能含有';'！", Caption::Tip);
    whenShown<CAddAltNode>([this](CAddAltNode *dlg) {
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Lumet—添加或修改节点"));
        EXPECT_FALSE(dlg->control(CAddAltNode::CurrentName)->isVisible());
        EXPECT_FALSE(dlg->control(CAddAltNode::CurrentLabel)->isVisible());
        EXPECT_FALSE(dlg->control(CAddAltNode::AltTitle)->isVisible());
        EXPECT_EQ(dlg->text(CAddAltNode::NameLabel), QStringLiteral("节点名："));
        typeText(dlg->control(CAddAltNode::Name), QStringLiteral("甲;乙"));
        QTest::mouseClick(dlg->control<QPushButton>(CAddAltNode::Save), Qt::LeftButton);
        EXPECT_TRUE(dlg->isVisible());
        // Spaces can be typed here, and the empty name would be accepted too.
        typeInto(*dlg, CAddAltNode::Name, QStringLiteral("甲 乙"));
        QTest::mouseClick(dlg->control<QPushButton>(CAddAltNode::Save), Qt::LeftButton);
    });
    menuCommand(*s, root, QStringLiteral("添  加"));
    ASSERT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("甲 乙"));

    // Enter and Esc close without applying the name.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        whenShown<CAddAltNode>([key](CAddAltNode *dlg) {
            EXPECT_EQ(dlg->text(CAddAltNode::NameLabel), QStringLiteral("修改为："));
            EXPECT_EQ(dlg->text(CAddAltNode::CurrentName), QStringLiteral("甲 乙"));
            EXPECT_FALSE(dlg->control(CAddAltNode::AddTitle)->isVisible());
            typeText(dlg->control(CAddAltNode::Name), QStringLiteral("丙"));
            QTest::keyClick(dlg->control(CAddAltNode::Name), key);
        });
        menuCommand(*s, root->child(0), QStringLiteral("修  改"));
        EXPECT_EQ(root->child(0)->text(0), QStringLiteral("甲 乙"));
    }
}

TEST_F(CVariouSetTest, SubjectsAreAddedDeletedAndCleared)
{
    auto s = open();
    auto *edit = s->control<QLineEdit>(CVariouSet::SubjectName);
    auto *add = s->control<QPushButton>(CVariouSet::AddSubject);

    expectBox("请输入考试科目！", Caption::Tip);
    QTest::mouseClick(add, Qt::LeftButton);

    for (const QString &name : {QStringLiteral("数学"), QStringLiteral("Math"), QStringLiteral("math"), QStringLiteral("O'Neil")}) {
        edit->setText(name);
        expectBox("添加成功！", Caption::PlainTip);
        QTest::mouseClick(add, Qt::LeftButton);
        EXPECT_TRUE(edit->text().isEmpty());
    }
    edit->setText(QStringLiteral("数学"));
    expectBox("您输入的考试科目已存在！", Caption::Tip);
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(edit->text(), QStringLiteral("数学"));
    EXPECT_EQ(subjectRows(*s), (QStringList{"1 数学", "2 Math", "3 math", "4 O'Neil"}));
    EXPECT_EQ(storedSubjects(), (QStringList{"数学", "Math", "math", "O'Neil"}));

    // Delete without a selection only refills; with one, that row goes.
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::DeleteSubject), Qt::LeftButton);
    EXPECT_EQ(storedSubjects().size(), 4);
    auto *list = s->control<QTableWidget>(CVariouSet::Subjects);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1, 1)).center());
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::DeleteSubject), Qt::LeftButton);
    EXPECT_EQ(subjectRows(*s), (QStringList{"1 数学", "2 math", "3 O'Neil"}));
    EXPECT_EQ(storedSubjects(), (QStringList{"数学", "math", "O'Neil"}));

    expectBox("您确定要清空考试科目码?", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::ClearSubjects), Qt::LeftButton);
    EXPECT_EQ(subjectRows(*s).size(), 3);
    EXPECT_EQ(storedSubjects().size(), 3);

    expectBox("您确定要清空考试科目码?", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::ClearSubjects), Qt::LeftButton);
    EXPECT_TRUE(subjectRows(*s).isEmpty());
    EXPECT_TRUE(storedSubjects().isEmpty());

    expectBox("科目已为空", Caption::Tip);
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::ClearSubjects), Qt::LeftButton);
}

TEST_F(CVariouSetTest, AFailedClearingLeavesTheListShowingTheTable)
{
    for (const char *name : {"语文", "数学"})
        outsiderExec(Db::Questions, "insert into Subject (科目) values (?)", {QString::fromUtf8(name)});
    outsiderExec(Db::Questions,
                 "create trigger keep before delete on Subject begin select raise(abort, '科目不能删除'); end");
    auto s = open();
    expectBox("您确定要清空考试科目码?", Caption::Remind, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    expectBox("科目不能删除", Caption::Tip);
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::ClearSubjects), Qt::LeftButton);
    EXPECT_EQ(subjectRows(*s), (QStringList{"1 语文", "2 数学"}));
    EXPECT_EQ(storedSubjects(), (QStringList{"语文", "数学"}));
}

TEST_F(CVariouSetTest, SubjectListShowsTheTableOnOpening)
{
    for (const char *name : {"语文", "数学", "语文"})
        outsiderExec(Db::Questions, "insert into Subject (科目) values (?)", {QString::fromUtf8(name)});
    auto s = open();
    EXPECT_EQ(subjectRows(*s), (QStringList{"1 语文", "2 数学", "3 语文"}));
    auto *list = s->control<QTableWidget>(CVariouSet::Subjects);
    EXPECT_TRUE(list->isColumnHidden(2));
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QStringLiteral("序号"));
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral("考试科目"));
    EXPECT_EQ(list->columnWidth(1), 200);
}

TEST_F(CVariouSetTest, BankSubjectsSkipThoseThatBeginAListedOne)
{
    outsiderExec(Db::Questions, "insert into 单选题 (科目) values ('数学二')");
    outsiderExec(Db::Questions, "insert into 单选题 (科目) values ('English')");
    outsiderExec(Db::Questions, "insert into 判断题 (科目) values ('数学')");
    outsiderExec(Db::Questions, "insert into 填空题 (科目) values ('english')");
    outsiderExec(Db::Questions, "insert into 问答题 (科目) values ('物理')");
    outsiderExec(Db::Questions, "insert into 多选题 (科目) values ('数学三')");
    auto s = open();
    auto *list = s->control<QComboBox>(CVariouSet::BankSubjects);
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    EXPECT_EQ(items.size(), 4);
    EXPECT_TRUE(items.contains("数学二"));
    EXPECT_TRUE(items.contains("English"));
    EXPECT_TRUE(items.contains("数学三"));
    EXPECT_TRUE(items.contains("物理"));
    EXPECT_FALSE(items.contains("数学"));
    EXPECT_EQ(list->currentIndex(), -1);
}

TEST_F(CVariouSetTest, AudienceGroupsSaveInOrderAndShowWhatIsStored)
{
    SettingsFile().writeAudienceGroups({"干部", "工人", "", ""});
    auto s = open();
    EXPECT_EQ(groupEdits(*s), (QStringList{"干部", "工人", "", ""}));

    // Group 1 is required; the stored values come back.
    s->setText(CVariouSet::Group1, "");
    s->setText(CVariouSet::Group3, "新");
    expectBox("第一个对象不能为空！", Caption::Tip);
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::SaveGroups), Qt::LeftButton);
    EXPECT_EQ(groupEdits(*s), (QStringList{"干部", "工人", "", ""}));

    s->setText(CVariouSet::Group1, "甲");
    s->setText(CVariouSet::Group2, "");
    s->setText(CVariouSet::Group3, "丙");
    s->setText(CVariouSet::Group4, "丁");
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::SaveGroups), Qt::LeftButton);
    EXPECT_EQ(groupEdits(*s), (QStringList{"甲", "", "", ""}));
    EXPECT_EQ(SettingsFile().audienceGroupList(), QStringList{"甲"});
}

TEST_F(CVariouSetTest, NavigationButtons)
{
    auto s = open();
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::Back), Qt::LeftButton);
    EXPECT_EQ(requestedScreen(), ScreenId::Admin);
    s = open();
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::ToBank), Qt::LeftButton);
    EXPECT_EQ(requestedScreen(), ScreenId::ExamPaper);
    s = open();
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::Exit), Qt::LeftButton);
    EXPECT_TRUE(exited());
    EXPECT_FALSE(requestedScreen());

    // The screen's keys: Enter, Esc and space never reach its controls.
    s = open();
    s->control(CVariouSet::SubjectName)->setFocus();
    typeText(s->control(CVariouSet::SubjectName), QStringLiteral("a b"));
    QTest::keyClick(s->control(CVariouSet::SubjectName), Qt::Key_Escape);
    EXPECT_EQ(s->text(CVariouSet::SubjectName), QStringLiteral("ab"));
    EXPECT_TRUE(s->isVisible());
}

// The working directory on a disk that is full: both saves fail, say so, and
// leave the settings file as it was (it once became empty here).
TEST_F(CVariouSetTest, SavesOnAFullDiskSaySoAndKeepTheSettingsFile)
{
    FullDisk disk(path("disk"), 4096);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    QString error;
    ASSERT_TRUE(WorkDir::prepare(disk.path("work"), &error)) << error.toStdString();
    CADOConn::releaseCachedHandles();
    ASSERT_TRUE(QDir::setCurrent(disk.path("work")));
    const auto back = qScopeGuard([this] {
        CADOConn::releaseCachedHandles();
        QDir::setCurrent(workDir());
    });
    SettingsFile().writeDepartmentTree({{QStringLiteral("销售部"), {QStringLiteral("经理")}}});
    SettingsFile().writeAudienceGroups({"干部", "", "", ""});
    QFile stored(disk.path("work/vornconf.ini"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    const QByteArray before = stored.readAll();
    stored.close();
    disk.fill();

    auto s = open();
    expectBox("部门和岗位设置没有保存：磁盘空间已满，文件无法写完。\n"
              "设置文件 vornconf.ini 保持原样，请解决问题后再按“保存”。",
              Caption::Tip);
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::SaveTree), Qt::LeftButton);
    s->setText(CVariouSet::Group2, "工人");
    expectBox("对象设置没有保存：磁盘空间已满，文件无法写完。\n"
              "设置文件 vornconf.ini 保持原样，请解决问题后再按“保存”。",
              Caption::Tip);
    QTest::mouseClick(s->control<QPushButton>(CVariouSet::SaveGroups), Qt::LeftButton);
    expectAllShown();
    EXPECT_EQ(groupEdits(*s), (QStringList{"干部", "", "", ""})) << "the edits show what is stored";

    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), before);
    EXPECT_EQ(QDir(disk.path("work")).entryList({"*vornconf*"}, QDir::Files | QDir::Hidden),
              QStringList{"vornconf.ini"});
}
