#pragma once

#include "RichTextFiles.h"

#include <QTextEdit>
#include <memory>

namespace kobin {

class PictureHandler;

// The text pane: a note or a page's side text, edited in place and kept as RTF.
class TextPane : public QTextEdit
{
    Q_OBJECT

public:
    explicit TextPane(QWidget *parent = nullptr);

    // Shows the RTF file in a new document in place of the one shown; false (the
    // document shown stays) when it cannot be read (*failure tells why).
    [[nodiscard]] bool loadRichText(const QString &path, richtext::LoadFailure *failure = nullptr);
    // Puts the RTF file's text, formats and all, or plain text in place of the
    // text shown, as one edit that undo takes back; an RTF file that cannot be
    // read changes nothing and gives false.
    [[nodiscard]] bool replaceWithRichText(const QString &path);
    void replaceWithPlainText(QStringView text);
    // Writes the document as RTF, replacing the file whole or not at all (*failure tells why not).
    [[nodiscard]] bool saveRichText(const QString &path, richtext::SaveFailure *failure = nullptr);

    void setBackColor(const QColor &color);
    // While the pane holds a page's source, only plain text is pasted or dropped:
    // a picture has no place in a page's HTML.
    void setPlainTextOnly(bool plainOnly) { m_plainTextOnly = plainOnly; }
    // The address of the link the caret is in or beside; empty when none.
    QString linkAtCaret() const;

signals:
    void focusEntered();
    // The right button went down over the pane: the Edit menu belongs there.
    void contextMenuWanted(const QPoint &globalPosition);
    // The mouse came over a link (its address) or left it (empty).
    void linkHovered(const QString &address);
    // A link was clicked with Ctrl held.
    void linkActivated(const QString &address);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Text travels through the clipboard as plain text: a paste takes the format
    // at the caret. Pictures travel with it between notes, and a picture selected
    // alone goes as an image too; images and image files come in as pictures.
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // Puts note in the place of the document shown.
    void showNote(std::unique_ptr<QTextDocument> note);
    void replaceUndoably(const QTextDocument &replacement);
    void insertNoteWithPictures(const QByteArray &rtf);
    bool insertPictureFiles(const QList<QUrl> &urls);

    PictureHandler *m_pictures;
    bool m_plainTextOnly = false;
    QString m_hoveredLink;
};

} // namespace kobin
