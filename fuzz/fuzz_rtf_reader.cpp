// libFuzzer target: any bytes read as RTF must give a document without a crash
// or a hang, and reading the text alone must give the document's text; what the
// writer makes of that document must read back to the same text, and writing
// what was read back must give the very same bytes. The pictures it keeps are
// drawn.
#include "KeptObjects.h"
#include "PictureImage.h"
#include "RichTextFiles.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // Most mutations would not start like RTF; let them reach the reader anyway.
    if (!kobin::rtf::looksLikeRtf(bytes))
        bytes.prepend("{\\rtf1 ");
    QTextDocument document;
    if (!kobin::rtf::readRtf(bytes, document))
        std::abort();
    if (kobin::rtf::readRtfText(bytes, u"\n") != kobin::richtext::plainText(document, u"\n", kobin::richtext::ListLeads::Shown))
        std::abort();
    // Every picture kept is read again from its group and drawn, as the pane draws it.
    for (const QTextFormat &format : document.allFormats()) {
        if (const std::optional<kobin::rtf::Picture> picture = kobin::rtf::readKeptPicture(kobin::rtf::keptRtfOf(format)))
            kobin::rtf::pictureImage(*picture);
    }
    const QByteArray written = kobin::rtf::writeRtf(document);
    QTextDocument copy;
    if (!kobin::rtf::readRtf(written, copy))
        std::abort();
    if (copy.toRawText() != document.toRawText())
        std::abort();
    if (kobin::rtf::writeRtf(copy) != written)
        std::abort();
    return 0;
}
