#pragma once
// A word-processor document (DOCX) written from a template: the text of each
// named bookmark's range is replaced, the rest of the template is kept as it
// is. The bookmarks stay around what was written, so the result can serve as
// a template again.
#include <QList>
#include <QString>

struct BookmarkText
{
    enum class Align { Keep, Center, Right };

    QString name;
    // A line break starts a new paragraph with the bookmark paragraph's
    // properties; runs of spaces are kept.
    QString text;
    bool bold = false;
    double points = 0; // font size; 0 keeps the template's
    Align align = Align::Keep;
    // Blocks stay whole on a page: every paragraph keeps its own lines
    // together, and a line that begins with a space (a question's indented
    // options) stays on the page of the line before it.
    bool keepIndentedWithPrevious = false;
};

namespace WordDocument {

// Writes outputPath from templatePath with every bookmark filled. Returns an
// empty text on success, else the message for the user (template missing,
// not a DOCX, bookmarks missing, output not writable); on failure nothing
// is left at outputPath.
QString fill(const QString &templatePath, const QString &outputPath, const QList<BookmarkText> &bookmarks);

// The text without the characters XML 1.0 cannot hold (control characters
// other than tab and line break, U+FFFE, U+FFFF, lone surrogates); a carriage
// return, alone or before a line feed, becomes one line break.
QString xmlSafe(const QString &text);

} // namespace WordDocument
