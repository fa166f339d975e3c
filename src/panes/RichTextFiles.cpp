#include "RichTextFiles.h"

#include "AtomicFile.h"
#include "Cp932.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>

namespace kobin::richtext {

bool loadFile(QTextDocument &document, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return rtf::readRtf(bytes, document);
}

bool saveFile(const QTextDocument &document, const QString &path, FileType type)
{
    const QByteArray bytes = type == FileType::Rtf ? rtf::writeRtf(document)
                                                   : encodeSystemText(text(document));
    return saveFileAtomically(path, bytes);
}

QString plainText(const QTextDocument &document, QStringView lineEnd)
{
    QString result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            result += lineEnd;
        const QString line = block.text();
        for (const QChar ch : line) {
            if (ch.unicode() == 0x2028)
                result += lineEnd;
            else
                result += ch;
        }
    }
    return result;
}

QString text(const QTextDocument &document)
{
    return plainText(document, u"\r\n");
}

void setText(QTextDocument &document, QStringView text)
{
    QString normalized = text.toString();
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(u'\r', u'\n');
    // U+FFFC would mark an object, and the document's HTML leave out the text around it.
    normalized.replace(QChar::ObjectReplacementCharacter, QChar::ReplacementCharacter);
    document.setPlainText(normalized);
}

} // namespace kobin::richtext
