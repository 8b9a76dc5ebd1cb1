#include "app/DepartmentPostPicker.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace {

// A drop-down list selects its first item when one is added; these lists
// start with nothing chosen.
void fillUnselected(QComboBox *combo, const QStringList &items)
{
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
}

} // namespace

DepartmentPostPicker::DepartmentPostPicker(QComboBox *departments, QComboBox *posts, SettingsFile file)
    : QObject(departments), m_departments(departments), m_posts(posts), m_file(std::move(file))
{
    connect(m_departments, &QComboBox::currentIndexChanged, this, [this] { refillPosts(); });
}

void DepartmentPostPicker::fill()
{
    fillUnselected(m_posts, {});
    fillUnselected(m_departments, m_file.readDepartmentNames());
}

void DepartmentPostPicker::refillPosts()
{
    fillUnselected(m_posts, m_file.readPostNames(m_departments->currentIndex()));
}
