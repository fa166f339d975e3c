#include "TextPane.h"

#include "RichTextFiles.h"

#include <QKeyEvent>

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

} // namespace kobin
