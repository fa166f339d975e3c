#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QTextObjectInterface>

class QTextDocument;

namespace kobin {

// Lays out and draws a note's pictures and objects: at their own size, or
// scaled down to the pane's width when wider; a picture Kobin cannot draw as a
// framed box of its size with its kind in it. Hidden text takes no room.
// Pictures are decoded when first drawn, not when the note is read.
class PictureHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    explicit PictureHandler(QObject *parent = nullptr);

    // Makes the document's layout use this handler for its objects.
    void handle(QTextDocument &document);

    QSizeF intrinsicSize(QTextDocument *document, int position, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int position,
                    const QTextFormat &format) override;

    // The picture the format shows as an image; null when it cannot be drawn.
    QImage imageOf(const QTextFormat &format);

private:
    struct Drawn {
        QByteArray rtf; // the kept group drawn
        QImage image;   // null: cannot be drawn
    };
    QCache<quintptr, Drawn> m_drawn; // by the address of the kept group's bytes
};

} // namespace kobin
