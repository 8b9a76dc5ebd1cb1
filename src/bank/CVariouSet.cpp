#include "bank/CVariouSet.h"

#include "app/Command.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "bank/CAddAltNode.h"
#include "store/CADOConn.h"
#include "store/Subjects.h"

#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QTreeWidget>

#include <optional>

namespace {

using enum CVariouSet::Ids;
const int kGroupEdits[4] = {Group1, Group2, Group3, Group4};

int depthOf(const QTreeWidgetItem *node)
{
    int depth = 1;
    for (const QTreeWidgetItem *p = node->parent(); p; p = p->parent())
        ++depth;
    return depth;
}

// The settings file is left as it was when a save fails; say so, or the
// administrator would take the screen for what is stored.
QString settingsNotSaved(const QString &what, const QString &reason)
{
    return QStringLiteral("%1设置没有保存：%2。\n设置文件 vornconf.ini 保持原样，请解决问题后再按“保存”。")
        .arg(what, reason);
}

} // namespace

CVariouSet::CVariouSet(QWidget *parent)
    : ScreenBase(111, KeyFilterMode::All, parent)
{
    QTreeWidget *tree = treeControl();
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &pos) { showNodeMenu(pos); });

    auto *subjects = control<QTableWidget>(Subjects);
    subjects->horizontalHeaderItem(0)->setTextAlignment(Qt::AlignCenter);
    subjects->setColumnHidden(2, true);

    fillTree();
    control(HiddenEdit1)->hide();
    control(HiddenEdit2)->hide();
    runCommand(this, [this] {
        fillSubjects();
        fillBankSubjects();
    });
    fillAudienceGroups();

    onClick(SaveTree, [this] { saveTree(); });
    onClick(AddSubject, [this] { runCommand(this, [this] { addSubject(); }); });
    onClick(ClearSubjects, [this] { runCommand(this, [this] { clearSubjects(); }); });
    onClick(DeleteSubject, [this] { runCommand(this, [this] { deleteSubject(); }); });
    onClick(SaveGroups, [this] { saveAudienceGroups(); });
    for (int id : {Back, ToBank, Exit})
        onClick(id, [this, id] { Nav::follow(this, id); });
}

QTreeWidget *CVariouSet::treeControl() const
{
    return control<QTreeWidget>(Tree);
}

DepartmentTree CVariouSet::tree() const
{
    DepartmentTree result;
    const QTreeWidgetItem *root = treeControl()->topLevelItem(0);
    for (int d = 0; root && d < root->childCount(); ++d) {
        const QTreeWidgetItem *department = root->child(d);
        DepartmentNode node{department->text(0), {}};
        for (int p = 0; p < department->childCount(); ++p)
            node.posts << department->child(p)->text(0);
        result << node;
    }
    return result;
}

void CVariouSet::fillTree()
{
    QTreeWidget *tree = treeControl();
    tree->clear();
    auto *root = new QTreeWidgetItem(tree, {text(TreeRoot)});
    for (const DepartmentNode &department : SettingsFile().readDepartmentTree()) {
        auto *item = new QTreeWidgetItem(root, {department.name});
        for (const QString &post : department.posts)
            new QTreeWidgetItem(item, {post});
        // The root opens once a post is there; departments stay closed.
        if (!department.posts.isEmpty())
            root->setExpanded(true);
    }
}

void CVariouSet::fillSubjects()
{
    auto *list = control<QTableWidget>(Subjects);
    list->setRowCount(0);
    const QList<SubjectRow> rows = Subjects::readRows();
    list->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        auto *number = new QTableWidgetItem(QString::number(i + 1));
        number->setTextAlignment(Qt::AlignCenter);
        list->setItem(i, 0, number);
        list->setItem(i, 1, new QTableWidgetItem(rows.at(i).name));
        list->setItem(i, 2, new QTableWidgetItem(QString::number(rows.at(i).id)));
    }
}

void CVariouSet::fillBankSubjects()
{
    auto *list = control<QComboBox>(BankSubjects);
    list->clear();
    list->addItems(Subjects::usedInBank());
    list->setCurrentIndex(-1);
}

void CVariouSet::fillAudienceGroups()
{
    const AudienceGroups groups = SettingsFile().readAudienceGroups();
    for (int k = 0; k < 4; ++k)
        setText(kGroupEdits[k], groups[size_t(k)]);
}

void CVariouSet::showNodeMenu(const QPoint &pos)
{
    QTreeWidget *tree = treeControl();
    QTreeWidgetItem *node = tree->itemAt(pos);
    if (!node)
        return;
    tree->setCurrentItem(node);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("menu131"));
    menu.addAction(QStringLiteral("添  加"))->setData(AddNode);
    menu.addAction(QStringLiteral("修  改"))->setData(AltNode);
    menu.addAction(QStringLiteral("删  除"))->setData(DeleteNode);
    if (QAction *chosen = menu.exec(tree->viewport()->mapToGlobal(pos)))
        runNodeCommand(chosen->data().toInt(), node);
}

void CVariouSet::runNodeCommand(int command, QTreeWidgetItem *node)
{
    switch (command) {
    case AddNode:
        addNode(node);
        break;
    case AltNode:
        altNode(node);
        break;
    case DeleteNode:
        deleteNode(node);
        break;
    default:
        break;
    }
}

void CVariouSet::addNode(QTreeWidgetItem *node)
{
    if (depthOf(node) > 2) {
        MessageBox::tip(this, QStringLiteral("已是第三层节点，不能再往下添加了！"));
        return;
    }
    CAddAltNode dialog(CAddAltNode::Mode::Add, QString(), this);
    dialog.exec();
    if (!dialog.appliedName())
        return;
    // Appended last, and shown chosen: a node added under a closed parent
    // would otherwise look as if nothing had happened.
    auto *added = new QTreeWidgetItem(node, {*dialog.appliedName()});
    node->setExpanded(true);
    QTreeWidget *tree = treeControl();
    tree->setCurrentItem(added);
    tree->scrollToItem(added);
}

void CVariouSet::altNode(QTreeWidgetItem *node)
{
    if (!node->parent()) {
        MessageBox::tip(this, QStringLiteral("根节点不能修改！"));
        return;
    }
    CAddAltNode dialog(CAddAltNode::Mode::Alt, node->text(0), this);
    dialog.exec();
    if (dialog.appliedName())
        node->setText(0, *dialog.appliedName());
}

void CVariouSet::deleteNode(QTreeWidgetItem *node)
{
    if (!node->parent()) {
        MessageBox::tip(this, QStringLiteral("根节点不能删除！"));
        return;
    }
    delete node; // its posts go with it
}

void CVariouSet::saveTree()
{
    const QTreeWidgetItem *root = treeControl()->topLevelItem(0);
    if (!root || root->childCount() == 0) {
        MessageBox::tip(this, QStringLiteral("请添加部门或岗位！"));
        return;
    }
    QString error;
    if (!SettingsFile().writeDepartmentTree(tree(), &error))
        MessageBox::tip(this, settingsNotSaved(QStringLiteral("部门和岗位"), error));
}

void CVariouSet::addSubject()
{
    switch (Subjects::add(text(SubjectName))) {
    case Subjects::AddResult::Empty:
        MessageBox::tip(this, QStringLiteral("请输入考试科目！"));
        return;
    case Subjects::AddResult::Exists:
        MessageBox::tip(this, QStringLiteral("您输入的考试科目已存在！"));
        return;
    case Subjects::AddResult::Added:
        MessageBox::show(this, QStringLiteral("添加成功！"), Caption::PlainTip);
        setText(SubjectName, QString());
        fillSubjects();
        return;
    }
}

void CVariouSet::clearSubjects()
{
    if (Subjects::readRows().isEmpty()) {
        MessageBox::tip(this, QStringLiteral("科目已为空"));
        return;
    }
    if (!MessageBox::confirm(this, QStringLiteral("您确定要清空考试科目码?")))
        return;
    // Shown from the table whatever the outcome, so a clearing that failed
    // does not look done.
    std::optional<DbError> failure;
    try {
        Subjects::clear();
    } catch (const DbError &e) {
        failure = e;
    }
    fillSubjects();
    if (failure)
        throw *failure;
}

void CVariouSet::deleteSubject()
{
    auto *list = control<QTableWidget>(Subjects);
    QSet<int> rows;
    for (const QTableWidgetItem *item : list->selectedItems())
        rows.insert(item->row());
    for (int row : std::as_const(rows))
        Subjects::remove(list->item(row, 2)->text().toInt());
    fillSubjects();
}

void CVariouSet::saveAudienceGroups()
{
    AudienceGroups groups;
    for (int k = 0; k < 4; ++k)
        groups[size_t(k)] = text(kGroupEdits[k]);
    if (groups[0].isEmpty())
        MessageBox::tip(this, QStringLiteral("第一个对象不能为空！"));
    else if (QString error; !SettingsFile().writeAudienceGroups(groups, &error))
        MessageBox::tip(this, settingsNotSaved(QStringLiteral("对象"), error));
    // Either way the edits show what is stored.
    fillAudienceGroups();
}
