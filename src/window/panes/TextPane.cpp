#include "TextPane.h"

#include "BoundedFile.h"
#include "InsertedPictures.h"
#include "KeptObjects.h"
#include "ListEditing.h"
#include "TableEditing.h"
#include "PictureHandler.h"
#include "RichTextFiles.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMimeData>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QImageReader>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <algorithm>
#include <QUrl>

namespace kobin {
namespace {

// The selection as RTF, for pictures to travel between notes.
const QString kNoteMimeType = QStringLiteral("application/x-kobin-note-rtf");

bool holdsObjects(const QString &text)
{
    return text.contains(QChar::ObjectReplacementCharacter);
}

// The format of the character at position, as the document holds it.
QTextCharFormat formatAt(const QTextDocument &document, int position)
{
    const QTextBlock block = document.findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return fragment.charFormat();
    }
    return {};
}

bool namesImageFile(const QList<QUrl> &urls)
{
    return std::any_of(urls.begin(), urls.end(), [](const QUrl &url) {
        return url.isLocalFile() && !QImageReader::imageFormat(url.toLocalFile()).isEmpty();
    });
}

} // namespace

TextPane::TextPane(QWidget *parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("rtbEdit"));
    setAcceptRichText(true);
    setTabChangesFocus(false);
    viewport()->setMouseTracking(true); // for the address of a link under the mouse
    m_pictures = new PictureHandler(this);
    m_pictures->handle(*document());
    // Typing just after a picture takes the text's formats, not the picture. With
    // a selection, a format set would be the selection's: the pictures in it would go.
    connect(this, &QTextEdit::currentCharFormatChanged, this, [this](const QTextCharFormat &format) {
        if (!textCursor().hasSelection() && (rtf::isKeptObject(format) || format.isImageFormat()))
            setCurrentCharFormat(rtf::textFormatOf(format));
    });
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
    m_pictures->handle(*note);
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

bool TextPane::saveRichText(const QString &path, richtext::SaveFailure *failure)
{
    return richtext::saveFile(*document(), path, richtext::FileType::Rtf, richtext::kMaxNoteFileSize, failure);
}

void TextPane::setBackColor(const QColor &color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::Base, color);
    setPalette(colors);
}

QString TextPane::linkAtCaret() const
{
    QTextCursor cursor = textCursor();
    cursor.clearSelection();
    if (const QTextCharFormat before = cursor.charFormat(); before.isAnchor())
        return before.anchorHref();
    cursor.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat after = cursor.charFormat();
    return after.isAnchor() ? after.anchorHref() : QString();
}

void TextPane::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    const QString link = anchorAt(event->position().toPoint());
    if (link == m_hoveredLink)
        return;
    m_hoveredLink = link;
    viewport()->setCursor(link.isEmpty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
    emit linkHovered(link);
}

void TextPane::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !(event->modifiers() & Qt::ControlModifier))
        return;
    if (const QString link = anchorAt(event->position().toPoint()); !link.isEmpty())
        emit linkActivated(link);
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
    if (event->key() == Qt::Key_Backtab || (event->key() == Qt::Key_Tab && event->modifiers() == Qt::NoModifier)) {
        const bool forward = event->key() == Qt::Key_Tab;
        QTextCursor cursor = textCursor();
        // In a table, Tab goes to the next cell and Shift+Tab to the one before.
        if (moveToNextCell(cursor, forward)) {
            setTextCursor(cursor);
            return;
        }
        // In a list, Tab at an item's start (or over a selection of items) moves it a level in, Shift+Tab out.
        const bool atItemStart = cursor.hasSelection() || cursor.atBlockStart();
        if ((!forward || atItemStart) && changeListLevel(cursor, forward ? 1 : -1))
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
    QString text = textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n');
    if (holdsObjects(text)) {
        const QTextCursor selection = textCursor();
        QTextDocument piece;
        QTextCursor(&piece).insertFragment(selection.selection());
        data->setData(kNoteMimeType, rtf::writeRtf(piece));
        if (text.size() == 1) {
            if (const QImage image = m_pictures->imageOf(formatAt(*document(), selection.selectionStart()));
                !image.isNull())
                data->setImageData(image);
        }
        text.remove(QChar::ObjectReplacementCharacter);
    }
    data->setText(text);
    return data;
}

bool TextPane::canInsertFromMimeData(const QMimeData *source) const
{
    if (m_plainTextOnly)
        return source->hasText();
    return source->hasFormat(kNoteMimeType) || (source->hasUrls() && namesImageFile(source->urls())) || source->hasImage()
        || QTextEdit::canInsertFromMimeData(source);
}

void TextPane::insertFromMimeData(const QMimeData *source)
{
    if (!source)
        return;
    if (m_plainTextOnly) {
        if (source->hasText())
            textCursor().insertText(source->text().remove(QChar::ObjectReplacementCharacter));
        return;
    }
    if (source->hasFormat(kNoteMimeType)) {
        insertNoteWithPictures(source->data(kNoteMimeType));
    } else if (source->hasUrls() && insertPictureFiles(source->urls())) {
    } else if (source->hasText()) {
        // U+FFFC is an object's mark, which plain text cannot bring.
        textCursor().insertText(source->text().replace(QChar::ObjectReplacementCharacter, QChar::ReplacementCharacter));
    } else if (source->hasImage()) {
        if (const auto picture = rtf::pictureFromImage(qvariant_cast<QImage>(source->imageData())))
            textCursor().insertText(QString(QChar::ObjectReplacementCharacter), rtf::keptObjectFormat(*picture));
    }
}

// Pictures come with their own formats; the text around them takes the caret's.
void TextPane::insertNoteWithPictures(const QByteArray &rtf)
{
    QTextDocument piece;
    if (!rtf::readRtf(rtf, piece))
        return;
    QTextCursor cursor = textCursor();
    const QTextCharFormat typed = cursor.charFormat();
    cursor.beginEditBlock();
    for (QTextBlock block = piece.begin(); block.isValid(); block = block.next()) {
        if (block != piece.begin())
            cursor.insertBlock();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            cursor.insertText(fragment.text(), rtf::isKeptObject(format) ? format : typed);
        }
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
}

// The image files among urls as pictures, in one edit; false when none is one.
bool TextPane::insertPictureFiles(const QList<QUrl> &urls)
{
    QList<rtf::KeptObject> pictures;
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            continue;
        const std::optional<QByteArray> bytes = readRegularFile(url.toLocalFile(), rtf::kMaxInsertedPictureBytes);
        if (!bytes)
            continue;
        if (auto picture = rtf::pictureFromFile(*bytes))
            pictures << *picture;
    }
    if (pictures.isEmpty())
        return false;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    for (const rtf::KeptObject &picture : pictures)
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), rtf::keptObjectFormat(picture));
    cursor.endEditBlock();
    setTextCursor(cursor);
    return true;
}

} // namespace kobin
