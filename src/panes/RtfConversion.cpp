#include "RtfConversion.h"

#include "RtfWriter.h"

#include <QTextDocument>

namespace kobin::richtext {

std::optional<QByteArray> convertRtfFile(const QString &path, Conversion to, LoadFailure *failure)
{
    if (to == Conversion::PlainText) {
        const std::optional<QString> text = loadPlainText(path, u"\n", failure);
        if (!text)
            return std::nullopt;
        return (*text + u'\n').toUtf8();
    }
    QTextDocument document;
    if (!loadFile(document, path, failure))
        return std::nullopt;
    return to == Conversion::Html ? document.toHtml().toUtf8() : rtf::writeRtf(document);
}

} // namespace kobin::richtext
