#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace Translations {

namespace {
std::unique_ptr<QTranslator> g_qt;
}

bool install()
{
    if (g_qt)
        return true;
    auto translator = std::make_unique<QTranslator>();
    // qtbase holds every text of the widgets this program uses.
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    g_qt = std::move(translator);
    return true;
}

void remove()
{
    if (!g_qt)
        return;
    QCoreApplication::removeTranslator(g_qt.get());
    g_qt.reset();
}

void useChineseLocale()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

} // namespace Translations
