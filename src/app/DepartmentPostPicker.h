#pragma once
// The department list and the post list beside it, as every screen that asks
// for a department and a post has them: the departments are read when the
// screen opens (fill), the posts each time the chosen department changes.
// Nothing is selected after either fill.
#include "store/SettingsFile.h"

#include <QObject>

class QComboBox;

class DepartmentPostPicker : public QObject
{
    Q_OBJECT
public:
    // Wires the two lists; the picker lives as long as the department list.
    DepartmentPostPicker(QComboBox *departments, QComboBox *posts, SettingsFile file = SettingsFile());

    // Empties both lists and appends the departments in file order.
    void fill();
    // Empties the post list and appends the posts of the chosen department.
    void refillPosts();

    QComboBox *departments() const { return m_departments; }
    QComboBox *posts() const { return m_posts; }

private:
    QComboBox *m_departments;
    QComboBox *m_posts;
    SettingsFile m_file;
};
