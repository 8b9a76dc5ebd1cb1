#pragma once
// The settings screen: the department and post tree, the subjects and the
// audience groups, with the subjects the question bank uses for reference.
#include "app/ScreenBase.h"
#include "store/SettingsFile.h"

class QTreeWidget;
class QTreeWidgetItem;

class CVariouSet : public ScreenBase
{
    Q_OBJECT
public:
    // Commands of the tree's menu 131.
    enum MenuCommand { AddNode = 32775, AltNode = 32776, DeleteNode = 32777 };

    explicit CVariouSet(QWidget *parent = nullptr);

    // The tree as it stands on screen, below the root.
    DepartmentTree tree() const;

private:
    QTreeWidget *treeControl() const;
    void fillTree();
    void fillSubjects();
    void fillBankSubjects();
    void fillAudienceGroups();

    void showNodeMenu(const QPoint &pos);
    void runNodeCommand(int command, QTreeWidgetItem *node);
    void addNode(QTreeWidgetItem *node);
    void altNode(QTreeWidgetItem *node);
    void deleteNode(QTreeWidgetItem *node);

    void saveTree();
    void addSubject();
    void clearSubjects();
    void deleteSubject();
    void saveAudienceGroups();
};
