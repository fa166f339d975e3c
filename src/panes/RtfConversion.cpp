#include "RtfConversion.h"

#include "RtfWriter.h"

#include <QTextDocument>

namespace kobin::richtext {

std::optional<QByteArray> convertRtfFile(const QString &path, Conversion to, LoadFailure *failure)
{
    QTextDocument document;
    if (!loadFile(document, path, failure))
        return std::nullopt;
    switch (to) {
    case Conversion::PlainText:
        return (plainText(document, u"\n") + u'\n').toUtf8();
    case Conversion::Html:
        return document.toHtml().toUtf8();
    case Conversion::Rtf:
        return rtf::writeRtf(document);
    }
    return std::nullopt;
}

} // namespace kobin::richtext
