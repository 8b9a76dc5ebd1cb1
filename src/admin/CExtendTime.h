#pragma once
// The pop-up that asks how many minutes an examinee's running exam gets
// added (延长时间 on the exam management screen).
#include "app/ScreenBase.h"

#include <optional>

class CExtendTime : public ScreenBase
{
    Q_OBJECT
public:
    enum Ids : int {
        Examinee = 1232, // "考生：<name>"
        MinutesLabel = 1233,
        Minutes = 1234,
        MinutesUnit = 1235,
        Save = 1001,
        Cancel = 1002,
    };

    CExtendTime(const QString &examinee, QWidget *parent = nullptr);

    // The minutes 确定 accepted; none when the pop-up was closed otherwise.
    const std::optional<int> &minutes() const { return m_minutes; }

    static constexpr int kMaxMinutes = 600;

private:
    void save();

    std::optional<int> m_minutes;
};
