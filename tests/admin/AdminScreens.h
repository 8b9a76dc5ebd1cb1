#pragma once
// Helpers of the administration screen tests: their fixtures and the
// settings file (driving is tests/support/Driving.h).
#include "support/Driving.h"
#include "app/ScreenBase.h"
#include "store/SettingsFile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

inline QString adminFixture(const QString &name)
{
    return QDir(QStringLiteral(VORN_SOURCE_DIR "/tests/admin/fixtures")).filePath(name);
}

// Three departments with their posts in vornconf.ini.
inline void writeDepartments()
{
    SettingsFile().writeDepartmentTree({{QStringLiteral("财务部"), {QStringLiteral("会计"), QStringLiteral("出纳")}},
                                        {QStringLiteral("人事部"), {QStringLiteral("主管"), QStringLiteral("专员")}},
                                        {QStringLiteral("技术部"), {QStringLiteral("工程师"), QStringLiteral("主管")}}});
}
