#pragma once
// The one message box service of the program. Every screen reports through it,
// so tests can script the answers and check each message shown.
#include <QString>

#include <functional>

class QWidget;

namespace Caption {
inline const QString Tip = QStringLiteral("Vorn提示");
inline const QString Remind = QStringLiteral("Vorn提醒");
inline const QString Warn = QStringLiteral("Vorn警告");
inline const QString PlainTip = QStringLiteral("提示");
inline const QString PlainRemind = QStringLiteral("提醒");
// The executable's name, the title of a box without caption.
inline const QString Default = QStringLiteral("vorn");
} // namespace Caption

enum class MsgIcon { None, Information, Question, Warning };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// What a box (or a timed message) showed; handed to the test seam.
struct ShownMessage
{
    enum Kind { Box, Timed } kind = Box;
    QString text;
    QString caption;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    int seconds = 0; // timed messages only
};

namespace MessageBox {

MsgAnswer show(QWidget *parent, const QString &text, const QString &caption,
               MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok);

// "Vorn提示", OK.
void tip(QWidget *parent, const QString &text);
// Yes/No with a question icon; true on Yes. Caption "Vorn提醒" unless given.
bool confirm(QWidget *parent, const QString &text, const QString &caption = Caption::Remind);
// "Vorn警告" with the warning icon.
void warn(QWidget *parent, const QString &text);
// The program's default title, OK.
void plain(QWidget *parent, const QString &text);

// Test seam: when set, boxes and timed messages are handed to it instead of
// being shown, and its answer is returned.
using Handler = std::function<MsgAnswer(const ShownMessage &)>;
void setHandler(Handler handler);
bool hasHandler();
MsgAnswer dispatch(const ShownMessage &message);

} // namespace MessageBox
