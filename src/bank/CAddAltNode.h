#pragma once
// The pop-up that asks for the name of a tree node to add or to rename.
#include "app/ScreenBase.h"

#include <optional>

class CAddAltNode : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 113.
    enum Ids : int {
        AltTitle = 1224,
        AddTitle = 1226,
        CurrentLabel = 1225,
        CurrentName = 1223,
        NameLabel = 1227,
        Name = 1097,
        Save = 1001,
        Cancel = 1002,
    };

    enum class Mode { Add, Alt };

    // currentName is shown in alt mode only.
    CAddAltNode(Mode mode, const QString &currentName, QWidget *parent = nullptr);

    // The name 保存 accepted; none when the pop-up was closed otherwise.
    const std::optional<QString> &appliedName() const { return m_name; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void save();

    std::optional<QString> m_name;
};
