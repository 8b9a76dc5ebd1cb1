#include "app/Command.h"

#include "app/MessageBox.h"
#include "store/CADOConn.h"

void runCommand(QWidget *screen, const std::function<void()> &body)
{
    try {
        body();
    } catch (const DbError &e) {
        // A file that could not be opened was reported when the open failed.
        if (!e.alreadyReported())
            MessageBox::show(screen, Db::explain(e.text()), Caption::Tip);
    } catch (const std::exception &e) {
        MessageBox::show(screen, QString::fromLocal8Bit(e.what()), Caption::Tip);
    }
}
