#include "admin/CImportExaminee.h"

#include "admin/Roster.h"
#include "app/Command.h"
#include "app/MessageBox.h"
#include "store/XlsReader.h"

CImportExaminee::CImportExaminee(XlsWorkbook *book, QWidget *parent)
    : ScreenBase(108, KeyFilterMode::All, parent), m_book(book)
{
    onClick(Import, [this] {
        runCommand(this, [this] { importRoster(); });
    });
    onClick(Cancel, [this] { done(QDialog::Rejected); });
}

int CImportExaminee::run(QWidget *parent, const QString &path)
{
    XlsWorkbook book;
    if (!book.open(path)) {
        MessageBox::show(parent, QStringLiteral("无法打开Excel文件（%1），导入失败！").arg(book.error()), Caption::Tip);
        return QDialog::Rejected;
    }
    CImportExaminee popup(&book, parent);
    return popup.exec();
}

void CImportExaminee::importRoster()
{
    const RosterImportResult result = RosterImport::run(*m_book);
    MessageBox::show(this, result.message(), Caption::Tip);
    done(result.status == RosterImportResult::Done ? QDialog::Accepted : QDialog::Rejected);
}
