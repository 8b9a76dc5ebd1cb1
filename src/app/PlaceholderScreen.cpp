#include "app/PlaceholderScreen.h"

#include <QLabel>
#include <QPushButton>

PlaceholderScreen::PlaceholderScreen(ScreenId id, QWidget *parent)
    : ScreenBase(0, KeyFilterMode::All, parent), m_id(id)
{
    setWindowTitle(Nav::captionOf(id));
    setProperty("screenClass", Nav::classOf(id));
    setFixedSize(480, 300);
    auto *label = new QLabel(QStringLiteral("此功能尚未开放。"), this);
    label->setGeometry(40, 100, 400, 30);
    label->setAlignment(Qt::AlignCenter);
    auto *back = new QPushButton(QStringLiteral("返回"), this);
    back->setObjectName(QStringLiteral("back"));
    back->setAutoDefault(false);
    back->setGeometry(190, 200, 100, 30);
    connect(back, &QPushButton::clicked, this, [this] { Nav::switchScreen(this, ScreenId::Login); });
}
