#include "TextPane.h"

#include "RichTextFiles.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace kobin {

TextPane::TextPane(QWidget *parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("rtbEdit"));
    setAcceptRichText(true);
    setTabChangesFocus(false);
}

// The note is built apart and then shown. Filled in place, the pane would lay
// out the cleared note (hiding the scroll bar), then the whole new note, and
// the whole note again when the scroll bar came back; shown whole, it is laid
// out once, as far as it is seen first and the rest in the background.
bool TextPane::loadRichText(const QString &path, richtext::LoadFailure *failure)
{
    auto note = std::make_unique<QTextDocument>(this);
    if (!richtext::loadFile(*note, path, failure))
        return false;
    showNote(std::move(note));
    return true;
}

void TextPane::showNote(std::unique_ptr<QTextDocument> note)
{
    // What the editor gives its own document and setDocument does not.
    note->setDefaultFont(font());
    note->setPageSize(QSize(0, 0)); // no layout before the pane sets the width
    note->documentLayout()->setPaintDevice(viewport());
    QTextDocument *shown = document();
    const bool shownIsOurs = shown->parent() == this; // the editor deletes its own
    setDocument(note.release());
    setTextCursor(QTextCursor(document())); // at the top, typing takes the format found there
    if (shownIsOurs)
        delete shown;
}

bool TextPane::replaceWithRichText(const QString &path)
{
    QTextDocument replacement;
    if (!richtext::loadFile(replacement, path))
        return false;
    replaceUndoably(replacement);
    return true;
}

void TextPane::replaceWithPlainText(QStringView text)
{
    QTextDocument replacement;
    richtext::setText(replacement, text);
    replaceUndoably(replacement);
}

// Edited in the document shown, not swapped for another, so the undo history stays.
void TextPane::replaceUndoably(const QTextDocument &replacement)
{
    QTextCursor whole(document());
    whole.beginEditBlock();
    whole.select(QTextCursor::Document);
    whole.insertFragment(QTextDocumentFragment(&replacement));
    whole.endEditBlock();
    setTextCursor(QTextCursor(document()));
}

bool TextPane::saveRichText(const QString &path)
{
    return richtext::saveFile(*document(), path, richtext::FileType::Rtf);
}

void TextPane::setBackColor(const QColor &color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::Base, color);
    setPalette(colors);
}

void TextPane::focusInEvent(QFocusEvent *event)
{
    QTextEdit::focusInEvent(event);
    emit focusEntered();
}

void TextPane::keyPressEvent(QKeyEvent *event)
{
    // The Insert key switches between inserting and overwriting, as in every editor.
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        setOverwriteMode(!overwriteMode());
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TextPane::contextMenuEvent(QContextMenuEvent *event)
{
    emit contextMenuWanted(event->globalPos());
}

QMimeData *TextPane::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    data->setText(textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
    return data;
}

void TextPane::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText())
        textCursor().insertText(source->text());
}

} // namespace kobin
