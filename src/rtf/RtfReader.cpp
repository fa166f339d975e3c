#include "RtfReader.h"

#include "DocumentBuilder.h"
#include "PlainTextBuilder.h"
#include "Reader.h"

#include <QTextDocument>

namespace kobin::rtf {
namespace {

using reading::Reader;

// Takes the picture of the first kept group read, and nothing else.
class KeptPictureSink : public ReaderSink
{
public:
    bool keepsFormats() const override { return false; }
    void setCharFormat(const QTextCharFormat &) override {}
    void append(QStringView) override {}
    void appendKept(const KeptObject &object) override
    {
        if (!m_picture && object.picture)
            m_picture = object.picture;
    }
    void endParagraph(const QTextBlockFormat &) override {}
    void endCell(const QTextBlockFormat &, int) override {}
    void finish(const QTextBlockFormat &) override {}

    std::optional<Picture> m_picture;
};

} // namespace

std::optional<Picture> readKeptPicture(QByteArrayView group)
{
    // The group read as the body of a document of its own.
    QByteArray document = "{\\rtf1 " + group.toByteArray() + "}";
    KeptPictureSink sink;
    Reader(document, sink, Reader::PictureData::Decoded).read();
    return sink.m_picture;
}

bool looksLikeRtf(QByteArrayView bytes)
{
    qsizetype start = 0;
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r'
                                    || bytes[start] == '\n'))
        ++start;
    return bytes.sliced(start).startsWith("{\\rtf");
}

bool readRtf(QByteArrayView bytes, QTextDocument &document)
{
    if (!looksLikeRtf(bytes))
        return false;
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    DocumentBuilder builder(document);
    Reader(bytes, builder).read();
    document.setUndoRedoEnabled(undo);
    return true;
}

std::optional<QString> readRtfText(QByteArrayView bytes, QStringView lineEnd)
{
    if (!looksLikeRtf(bytes))
        return std::nullopt;
    QString text;
    PlainTextBuilder builder(text, lineEnd);
    Reader(bytes, builder).read();
    return text;
}

} // namespace kobin::rtf