#include "bank/CExamInandout.h"

#include "app/Command.h"
#include "app/MessageBox.h"
#include "bank/QuestionImport.h"
#include "bank/QuestionStore.h"

CExamInandout::CExamInandout(Mode mode, XlsWorkbook *book, QWidget *parent)
    : ScreenBase(126, KeyFilterMode::All, parent), m_mode(mode), m_book(book)
{
    if (mode == Mode::Import) {
        control(Clear)->hide();
        setText(Explanation, importExplanation());
    } else {
        control(Import)->hide();
        setText(Explanation, deleteExplanation());
    }
    onClick(Import, [this] { runCommand(this, [this] { importSheet(); }); });
    onClick(Clear, [this] { runCommand(this, [this] { clearType(); }); });
    onClick(Exit, [this] { done(QDialog::Rejected); });
}

QString CExamInandout::importExplanation()
{
    return QStringLiteral("    1、questions.xls必须要有按模板要求填写，\n\n"
                          "并且Excel表不能存在空行。\n\n"
                          "    2、题库数量大时，可能需要几分钟，请稍等。\n\n"
                          "\t      确定要导入题库吗？");
}

QString CExamInandout::deleteExplanation()
{
    return QStringLiteral("\n\n    您确定要删除系统保存的相关题型的题库码?\n\n一旦删除将无法恢复！");
}

int CExamInandout::runImport(QWidget *parent, const QString &path)
{
    XlsWorkbook book;
    if (!book.open(path)) {
        MessageBox::show(parent, QStringLiteral("无法打开Excel文件（%1），导入失败！").arg(book.error()), Caption::Tip);
        return QDialog::Rejected;
    }
    CExamInandout screen(Mode::Import, &book, parent);
    return screen.exec();
}

int CExamInandout::runDelete(QWidget *parent)
{
    CExamInandout screen(Mode::Delete, nullptr, parent);
    return screen.exec();
}

void CExamInandout::importSheet()
{
    const QString type = text(Type);
    if (type.isEmpty()) {
        MessageBox::show(this, QStringLiteral("请选择题型！"), Caption::Remind);
        return;
    }
    const ImportResult result = QuestionImport::run(*m_book, type);
    MessageBox::show(this, result.message(), Caption::Tip);
    done(result.status == ImportResult::Done ? QDialog::Accepted : QDialog::Rejected);
}

void CExamInandout::clearType()
{
    const QString type = text(Type);
    if (type.isEmpty()) {
        MessageBox::show(this, QStringLiteral("请选择题型！"), Caption::Remind);
        return;
    }
    if (QuestionStore::clearType(type) == QuestionStore::ClearResult::AlreadyEmpty) {
        MessageBox::show(this, type + QStringLiteral("题库已为空"), Caption::Tip);
        return;
    }
    MessageBox::show(this, type + QStringLiteral("题库已清空"), Caption::Tip);
    done(QDialog::Accepted);
}
