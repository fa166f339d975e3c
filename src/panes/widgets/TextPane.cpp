#include "TextPane.h"

#include "RichTextFiles.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace kobin {

TextPane::TextPane(QWidget *parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("rtbEdit"));
    setAcceptRichText(true);
    setTabChangesFocus(false);
}

bool TextPane::loadRichText(const QString &path)
{
    return richtext::loadFile(*document(), path);
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
