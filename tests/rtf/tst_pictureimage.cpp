#include "Dib.h"
#include "PictureFiles.h"
#include "PictureImage.h"

#include <QtTest>
#include <cstring>

using namespace kobin::rtf;

namespace {

const QColor kRed(220, 30, 40);
const QColor kBlue(20, 40, 200);

Picture pictureOf(PictureKind kind, const QByteArray &data)
{
    Picture picture;
    picture.kind = kind;
    picture.data = data;
    return picture;
}

// \wbitmap bits of image, rows from the top, each widthBytes long.
Picture deviceBitmapOf(const QImage &image, int bitsPerPixel, int widthBytes)
{
    Picture picture = pictureOf(PictureKind::Bitmap, {});
    picture.sourceSize = image.size();
    picture.bitmapBitsPerPixel = bitsPerPixel;
    picture.bitmapWidthBytes = widthBytes;
    for (int y = 0; y < image.height(); ++y) {
        QByteArray row(widthBytes, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (bitsPerPixel == 1) {
                if (qGray(pixel) > 127)
                    row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
            } else {
                const int at = x * bitsPerPixel / 8;
                row[at] = char(qBlue(pixel));
                row[at + 1] = char(qGreen(pixel));
                row[at + 2] = char(qRed(pixel));
            }
        }
        picture.data += row;
    }
    return picture;
}

// A DIB with a BITMAPCOREHEADER and 1 bit a pixel: colour table entries of three bytes.
QByteArray coreDibOf(const QImage &twoColours, QColor top, QColor bottom)
{
    QByteArray dib;
    LittleEndianWriter out(&dib);
    out << quint32(12) << quint16(twoColours.width()) << quint16(twoColours.height()) << quint16(1) << quint16(1);
    for (const QColor colour : {top, bottom})
        out << quint8(colour.blue()) << quint8(colour.green()) << quint8(colour.red());
    const int rowBytes = (twoColours.width() + 31) / 32 * 4;
    for (int y = twoColours.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < twoColours.width(); ++x) {
            if (twoColours.pixelColor(x, y) == bottom)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        dib += row;
    }
    return dib;
}

// A 32-bit DIB whose colour masks (BI_BITFIELDS) follow its BITMAPINFOHEADER, or
// lie inside its BITMAPV4HEADER (108 bytes) or BITMAPV5HEADER (124), and then a
// colour table, which bitmaps of more than 8 bits a pixel may hold.
QByteArray bitfieldsDibOf(const QImage &image, quint32 headerSize = 40)
{
    QByteArray dib;
    LittleEndianWriter out(&dib);
    out << headerSize << qint32(image.width()) << qint32(image.height()) << quint16(1) << quint16(32)
        << quint32(3) << quint32(0) << qint32(0) << qint32(0) << quint32(2) << quint32(0)
        << quint32(0x0000FF00) << quint32(0x00FF0000) << quint32(0xFF000000); // red in the second byte
    if (headerSize > 40)
        out.writeRawData(QByteArray(int(headerSize) - 52, '\0').constData(), int(headerSize) - 52); // no alpha, no colour space
    out << quint32(0) << quint32(0xFFFFFF);
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            out << quint8(0) << quint8(qRed(pixel)) << quint8(qGreen(pixel)) << quint8(qBlue(pixel));
        }
    }
    return dib;
}

QByteArray withField(QByteArray bytes, int at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

// An image of size whose left half is left and right half right.
QImage sideBySide(QSize size, QColor left, QColor right)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(left);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = size.width() / 2; x < size.width(); ++x)
            image.setPixelColor(x, y, right);
    }
    return image;
}

} // namespace

Q_DECLARE_METATYPE(kobin::rtf::Picture)

class TestPictureImage : public QObject
{
    Q_OBJECT

private slots:
    void picturesDrawTheirBitmaps_data()
    {
        QTest::addColumn<Picture>("picture");
        QTest::addColumn<QImage>("expected");
        QTest::addColumn<int>("tolerance"); // 0: every pixel is the same; else the middle one is this near

        const QSize size(40, 30);
        const QImage red = halvesOf(size, kRed, kRed);
        const QImage halves = halvesOf(size, kRed, kBlue);
        const QByteArray dib = dib24Of(halves);
        QTest::newRow("png") << pictureOf(PictureKind::Png, pngOf(size, kRed)) << red << 0;
        QTest::newRow("jpeg") << pictureOf(PictureKind::Jpeg, jpegOf(size, kBlue)) << halvesOf(size, kBlue, kBlue)
                              << 12;
        QTest::newRow("png named jpeg") << pictureOf(PictureKind::Jpeg, pngOf(size, kRed)) << red << 0;
        QTest::newRow("dib 24-bit") << pictureOf(PictureKind::Dib, dib) << halves << 0;
        QTest::newRow("dib top-down") << pictureOf(PictureKind::Dib, dib24Of(halves, true)) << halves << 0;
        QTest::newRow("dib 8-bit") << pictureOf(PictureKind::Dib, dib8Of(halves)) << halves << 0;
        QImage beyondColours(size, QImage::Format_Indexed8);
        beyondColours.setColorTable({kRed.rgb(), kBlue.rgb()});
        for (int y = 0; y < size.height(); ++y)
            std::memset(beyondColours.scanLine(y), y < size.height() / 2 ? 0 : 200, size_t(size.width()));
        QTest::newRow("dib 8-bit indexes beyond its colours")
            << pictureOf(PictureKind::Dib, dib8Of(beyondColours)) << halvesOf(size, kRed, Qt::black) << 0;
        QTest::newRow("dib core header") << pictureOf(PictureKind::Dib, coreDibOf(halves, kRed, kBlue)) << halves
                                         << 0;
        QTest::newRow("dib bitfields") << pictureOf(PictureKind::Dib, bitfieldsDibOf(halves)) << halves << 0;
        QTest::newRow("dib v4 bitfields") << pictureOf(PictureKind::Dib, bitfieldsDibOf(halves, 108)) << halves << 0;
        QTest::newRow("dib v5 bitfields") << pictureOf(PictureKind::Dib, bitfieldsDibOf(halves, 124)) << halves << 0;
        const QImage threeWide = halvesOf(QSize(3, 4), kRed, kBlue); // rows of 9 bytes, padded to 12
        QTest::newRow("dib rows padded") << pictureOf(PictureKind::Dib, dib24Of(threeWide)) << threeWide << 0;
        const QImage blackOverWhite = halvesOf(QSize(20, 10), Qt::black, Qt::white);
        QTest::newRow("wbitmap 1-bit") << deviceBitmapOf(blackOverWhite, 1, 4) << blackOverWhite << 0;
        QTest::newRow("wbitmap 24-bit") << deviceBitmapOf(halves, 24, 122) << halves << 0;
        QTest::newRow("wbitmap 32-bit") << deviceBitmapOf(halves, 32, 160) << halves << 0;

        const QByteArray wmf = wmfWithStretchDib(dib, QRect(QPoint(0, 0), size), size);
        QTest::newRow("wmf stretch dib") << pictureOf(PictureKind::Wmf, wmf) << halves << 0;
        const QByteArray placeable = withField(QByteArray(22, '\0'), 0, 0x9AC6CDD7) + wmf;
        QTest::newRow("placeable wmf") << pictureOf(PictureKind::Wmf, placeable) << halves << 0;
        // META_DIBBITBLT: raster operation, source y and x, then height, width, y and x of the destination.
        const QByteArray bitBlt = wmfRecord(0x0940, {0x0020, 0x00CC, 0, 0, 30, 40, 0, 0}, dib);
        QTest::newRow("wmf dib bitblt") << pictureOf(PictureKind::Wmf, wmfOf({bitBlt}, QRect(0, 0, 40, 30)))
                                        << halves << 0;
        const QByteArray emf = emfWithStretchDibits(dib, QRect(QPoint(0, 0), size), QRect(QPoint(0, 0), size));
        QTest::newRow("emf stretch dibits") << pictureOf(PictureKind::Emf, emf) << halves << 0;

        // Several bitmaps are drawn where the window puts them.
        const QByteArray redDib = dib24Of(QSize(20, 20), kRed);
        const QByteArray blueDib = dib24Of(QSize(20, 20), kBlue);
        const QImage redBlue = sideBySide(QSize(40, 20), kRed, kBlue);
        const QByteArray twoBitmaps = wmfOf({stretchDibRecord(redDib, QRect(100, 50, 20, 20)),
                                             stretchDibRecord(blueDib, QRect(120, 50, 20, 20))},
                                            QRect(100, 50, 40, 20));
        QTest::newRow("wmf two bitmaps") << pictureOf(PictureKind::Wmf, twoBitmaps) << redBlue << 0;
        const QByteArray oneWhole = wmfOf({stretchDibRecord(dib.chopped(3), QRect(0, 0, 40, 30)),
                                           stretchDibRecord(dib, QRect(40, 0, 40, 30))},
                                          QRect(0, 0, 80, 30));
        QTest::newRow("wmf bitmap cut short beside a whole one") << pictureOf(PictureKind::Wmf, oneWhole) << halves
                                                                 << 0;
        const QByteArray windowless = wmfOf({stretchDibRecord(redDib, QRect(10, 10, 20, 20)),
                                             stretchDibRecord(blueDib, QRect(30, 10, 20, 20))},
                                            QRect());
        QTest::newRow("wmf two bitmaps without a window") << pictureOf(PictureKind::Wmf, windowless) << redBlue << 0;
        // A window in twips gives the bitmaps' own resolution, not an image 15 times theirs.
        const QByteArray inTwips = wmfOf({stretchDibRecord(redDib, QRect(0, 0, 300, 300)),
                                          stretchDibRecord(blueDib, QRect(300, 0, 300, 300))},
                                         QRect(0, 0, 600, 300));
        QTest::newRow("wmf two bitmaps in twips") << pictureOf(PictureKind::Wmf, inTwips) << redBlue << 0;
    }

    void picturesDrawTheirBitmaps()
    {
        QFETCH(Picture, picture);
        QFETCH(QImage, expected);
        QFETCH(int, tolerance);
        const QImage image = pictureImage(picture);
        QCOMPARE(image.size(), expected.size());
        if (tolerance == 0) {
            QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
            return;
        }
        const QPoint middle(image.width() / 2, image.height() / 2);
        const QColor found = image.pixelColor(middle);
        const QColor wanted = expected.pixelColor(middle);
        QVERIFY2(qAbs(found.red() - wanted.red()) <= tolerance && qAbs(found.green() - wanted.green()) <= tolerance
                     && qAbs(found.blue() - wanted.blue()) <= tolerance,
                 qPrintable(found.name() + " is not near " + wanted.name()));
    }

    void undrawablePicturesGiveNull_data()
    {
        QTest::addColumn<Picture>("picture");

        const QByteArray png = pngOf(QSize(40, 30), kRed);
        const QByteArray dib = dib24Of(QSize(40, 30), kRed);
        const QByteArray wmf = wmfWithStretchDib(dib, QRect(0, 0, 40, 30), QSize(40, 30));
        const QByteArray emf = emfWithStretchDibits(dib, QRect(0, 0, 40, 30), QRect(0, 0, 40, 30));
        QTest::newRow("other kind") << pictureOf(PictureKind::Other, png);
        QTest::newRow("png cut short") << pictureOf(PictureKind::Png, png.first(png.size() / 2));
        QTest::newRow("jpeg garbage") << pictureOf(PictureKind::Jpeg, QByteArray("\xff\xd8\xff\xe0 not a jpeg"));
        QTest::newRow("png wider than the limit")
            << pictureOf(PictureKind::Png, pngOf(QSize(kMaxPictureSide + 1, 1), kRed));
        QTest::newRow("png holding a bmp")
            << pictureOf(PictureKind::Png, encodedAs(halvesOf(QSize(4, 4), kRed, kRed), "BMP"));
        QTest::newRow("dib bits cut short") << pictureOf(PictureKind::Dib, dib.chopped(3));
        QTest::newRow("dib last row's padding cut short")
            << pictureOf(PictureKind::Dib, dib24Of(QSize(3, 4), kRed).chopped(1));
        QTest::newRow("dib 100000 pixels wide")
            << pictureOf(PictureKind::Dib, withField(dib24Of(QSize(1, 1), kRed), 4, 100000));
        QTest::newRow("dib over the pixel limit")
            << pictureOf(PictureKind::Dib, withField(withField(dib, 4, 16384), 8, 8192));
        QTest::newRow("dib of 4 G colours") << pictureOf(PictureKind::Dib, withField(dib, 32, 0xFFFFFFFF));
        QTest::newRow("dib header size garbage") << pictureOf(PictureKind::Dib, withField(dib, 0, 1000));
        QTest::newRow("dib empty") << pictureOf(PictureKind::Dib, {});

        const QImage image = halvesOf(QSize(40, 30), kRed, kBlue);
        Picture shortRows = deviceBitmapOf(image, 24, 120);
        shortRows.bitmapWidthBytes = 119;
        QTest::newRow("wbitmap rows short") << shortRows;
        Picture cut = deviceBitmapOf(image, 24, 120);
        cut.data.chop(1);
        QTest::newRow("wbitmap bits short") << cut;
        Picture huge = deviceBitmapOf(image, 32, 160);
        huge.sourceSize = QSize(20000, 20000);
        huge.bitmapWidthBytes = 80000;
        QTest::newRow("wbitmap huge") << huge;
        Picture eightBits = deviceBitmapOf(image, 24, 120);
        eightBits.bitmapBitsPerPixel = 8;
        QTest::newRow("wbitmap 8-bit") << eightBits;

        QTest::newRow("wmf vector only") << pictureOf(PictureKind::Wmf, vectorWmf());
        // META_DIBBITBLT without a bitmap fills with a pattern.
        const QByteArray patternBlt = wmfRecord(0x0940, {0x0062, 0x00F0, 0, 0, 0, 30, 40, 0, 0});
        QTest::newRow("wmf pattern blt") << pictureOf(PictureKind::Wmf, wmfOf({patternBlt}, QRect(0, 0, 40, 30)));
        QTest::newRow("wmf cut short") << pictureOf(PictureKind::Wmf, wmf.first(wmf.size() - 100));
        const QByteArray zeroRecord("\0\0\0\0\x43\x0f", 6); // META_STRETCHDIB of no words
        QTest::newRow("wmf zero-size record first")
            << pictureOf(PictureKind::Wmf, wmfOf({zeroRecord + stretchDibRecord(dib, QRect(0, 0, 40, 30))},
                                                 QRect(0, 0, 40, 30)));
        QTest::newRow("wmf bitmap over the pixel limit")
            << pictureOf(PictureKind::Wmf, wmfWithStretchDib(withField(dib, 8, 16384), QRect(0, 0, 40, 30),
                                                             QSize(40, 30)));
        QTest::newRow("wmf record longer than the file")
            << pictureOf(PictureKind::Wmf, withField(wmf, 18 + 2 * 10, 0x7FFFFFFF));
        QTest::newRow("wmf garbage") << pictureOf(PictureKind::Wmf, QByteArray(300, '\x5a'));

        const int stretchAt = 88;
        QTest::newRow("emf dib offset beyond its record")
            << pictureOf(PictureKind::Emf, withField(emf, stretchAt + 48, 0xFFFFFFF0));
        QTest::newRow("emf bits longer than their record")
            << pictureOf(PictureKind::Emf, withField(emf, stretchAt + 60, 0xFFFFFFF0));
        QTest::newRow("emf record longer than the file")
            << pictureOf(PictureKind::Emf, withField(emf, stretchAt + 4, 0xFFFFFFF0));
        QTest::newRow("emf dib of 4 G colours")
            << pictureOf(PictureKind::Emf, withField(emf, stretchAt + 80 + 32, 0xFFFFFFFF));
        QTest::newRow("emf without signature") << pictureOf(PictureKind::Emf, withField(emf, 40, 0));
        QTest::newRow("emf as wmf") << pictureOf(PictureKind::Wmf, emf);
    }

    void undrawablePicturesGiveNull()
    {
        QFETCH(Picture, picture);
        QVERIFY(pictureImage(picture).isNull());
        QByteArray mimeType = "unset";
        QVERIFY(webImage(picture, &mimeType).isEmpty());
        QVERIFY(mimeType.isEmpty());
    }

    void vastMetafileWindowsAreDrawnSmaller_data()
    {
        QTest::addColumn<QByteArray>("wmf");
        QTest::addColumn<QSize>("size");

        const QByteArray red = dib24Of(QSize(20, 10), kRed);
        const QByteArray blue = dib24Of(QSize(20, 10), kBlue);
        QTest::newRow("wider than the limit")
            << wmfOf({stretchDibRecord(red, QRect(0, 0, 20, 10)), stretchDibRecord(blue, QRect(32000, 0, 20, 10))},
                     QRect(0, 0, 32020, 10))
            << QSize(kMaxPictureSide, 5);
        // Beyond a floor of 4 M pixels, no more than four times the bitmaps' pixels.
        QTest::newRow("mostly empty")
            << wmfOf({stretchDibRecord(red, QRect(0, 0, 20, 10)), stretchDibRecord(blue, QRect(7980, 7990, 20, 10))},
                     QRect(0, 0, 8000, 8000))
            << QSize(2048, 2048);
    }

    void vastMetafileWindowsAreDrawnSmaller()
    {
        QFETCH(QByteArray, wmf);
        QFETCH(QSize, size);
        const QImage image = pictureImage(pictureOf(PictureKind::Wmf, wmf));
        QCOMPARE(image.size(), size);
        QCOMPARE(image.pixelColor(1, 1), kRed);
        QCOMPARE(image.pixelColor(size.width() - 2, size.height() - 2), kBlue);
    }

    void webImagesKeepPngAndJpegAndDrawTheRestAsPng_data()
    {
        QTest::addColumn<Picture>("picture");
        QTest::addColumn<bool>("unchanged");
        QTest::addColumn<QByteArray>("mimeType");

        const QSize size(40, 30);
        QTest::newRow("png") << pictureOf(PictureKind::Png, pngOf(size, kRed)) << true << QByteArray("image/png");
        QTest::newRow("jpeg") << pictureOf(PictureKind::Jpeg, jpegOf(size, kRed)) << true << QByteArray("image/jpeg");
        QTest::newRow("png named jpeg") << pictureOf(PictureKind::Jpeg, pngOf(size, kRed)) << true
                                        << QByteArray("image/png");
        QTest::newRow("dib") << pictureOf(PictureKind::Dib, dib24Of(size, kRed)) << false << QByteArray("image/png");
        // A 1-bit bitmap naming ten colours, as some writers do: only two of them can be shown.
        QByteArray oneBit = withField(withField(withField(withField(withField(QByteArray(40, '\0'), 0, 40), 4, 40), 8, 30),
                                                12, 1 | 1 << 16), 32, 10);
        for (int colour = 0; colour < 10; ++colour)
            oneBit += QByteArray::fromHex(colour == 0 ? "0000ff00" : "ff000000");
        for (int row = 0; row < 30; ++row) // from the bottom: blue, then red
            oneBit += QByteArray(5, row < 15 ? '\xff' : '\0') + QByteArray(3, '\0');
        QTest::newRow("dib 1-bit of ten colours") << pictureOf(PictureKind::Dib, oneBit) << false << QByteArray("image/png");
        QTest::newRow("wmf") << pictureOf(PictureKind::Wmf, wmfWithStretchDib(dib24Of(size, kRed), QRect(0, 0, 40, 30),
                                                                              size))
                             << false << QByteArray("image/png");
    }

    void webImagesKeepPngAndJpegAndDrawTheRestAsPng()
    {
        QFETCH(Picture, picture);
        QFETCH(bool, unchanged);
        QFETCH(QByteArray, mimeType);
        QByteArray type;
        const QByteArray bytes = webImage(picture, &type);
        QCOMPARE(type, mimeType);
        if (unchanged)
            QCOMPARE(bytes, picture.data);
        const QImage shown = QImage::fromData(bytes, mimeType == "image/png" ? "PNG" : "JPEG");
        QCOMPARE(shown.size(), QSize(40, 30));
        QCOMPARE(shown.pixelColor(20, 15).red(), pictureImage(picture).pixelColor(20, 15).red());
    }
};

QTEST_MAIN(TestPictureImage)
#include "tst_pictureimage.moc"
