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
    // The controls of dialog 111.
    enum Ids : int {
        TreeRoot = 1215, // the tree's root name
        Tree = 1083,
        SaveTree = 1092,
        Back = 1093,
        Subjects = 1209,
        SubjectName = 1091,
        AddSubject = 1094,
        ClearSubjects = 1095,
        DeleteSubject = 1096,
        Group1 = 1088,
        Group2 = 1089,
        Group3 = 1090,
        Group4 = 1086,
        SaveGroups = 1245,
        BankSubjects = 1210, // subjects used in the bank
        ToBank = 1249,
        Exit = 1098,
        HiddenEdit1 = 1084,
        HiddenEdit2 = 1087,
    };

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
