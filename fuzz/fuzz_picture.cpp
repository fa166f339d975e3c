// libFuzzer target: any bytes as any kind of picture give an image within the
// picture limits, or none, without a crash or a hang; a browser is given bytes
// exactly when there is an image. The first 8 bytes choose the kind and the
// \wbitmap description, the rest are the picture's data.
#include "Dib.h"
#include "PictureImage.h"

#include <QGuiApplication>
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
    if (size < 8)
        return 0;
    const auto word = [data](int at) { return int(data[at] | data[at + 1] << 8); };
    kobin::rtf::Picture picture;
    picture.kind = static_cast<kobin::rtf::PictureKind>(data[0] % 7);
    picture.sourceSize = QSize(word(1), word(3));
    picture.bitmapWidthBytes = word(5) / 2;
    picture.bitmapBitsPerPixel = data[7];
    picture.data = QByteArray(reinterpret_cast<const char *>(data) + 8, static_cast<qsizetype>(size - 8));

    const QImage image = kobin::rtf::pictureImage(picture);
    if (!image.isNull() && !kobin::rtf::isWithinPictureLimits(image.size()))
        std::abort();
    QByteArray mimeType;
    if (kobin::rtf::webImage(picture, &mimeType).isEmpty() != image.isNull())
        std::abort();
    return 0;
}
