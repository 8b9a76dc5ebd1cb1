#pragma once
// Stands in for a full screen that is not built yet: its caption and a way back.
#include "app/Navigation.h"
#include "app/ScreenBase.h"

class PlaceholderScreen : public ScreenBase
{
    Q_OBJECT
public:
    explicit PlaceholderScreen(ScreenId id, QWidget *parent = nullptr);
    ScreenId screenId() const { return m_id; }

private:
    ScreenId m_id;
};
