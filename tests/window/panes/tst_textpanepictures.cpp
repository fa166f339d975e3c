// Pictures in the text pane: pasted, dropped, copied between notes, undone,
// fitted to the pane and drawn, and kept byte for byte when saved.
#include "KeptObjects.h"
#include "PictureFiles.h"
#include "PictureHandler.h"
#include "RtfReader.h"
#include "RtfWriter.h"
#include "TextPane.h"

#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextImageFormat>
#include <QUrl>
#include <QtTest>

namespace {

// The pane's clipboard hooks, as copy, paste and drag and drop use them.
class Pane : public kobin::TextPane
{
public:
    using TextPane::canInsertFromMimeData;
    using TextPane::createMimeDataFromSelection;
    using TextPane::insertFromMimeData;
};

int objectsIn(const QTextDocument &document)
{
    return static_cast<int>(document.toPlainText().count(QChar::ObjectReplacementCharacter));
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

} // namespace

class TestTextPanePictures : public QObject
{
    Q_OBJECT

private slots:
    void anImageAloneIsPastedAsAPictureThatUndoTakesBack()
    {
        Pane pane;
        pane.setPlainText(QStringLiteral("ab"));
        QMimeData image;
        image.setImageData(halvesOf(QSize(4, 3), Qt::red, Qt::blue));
        QVERIFY(pane.canInsertFromMimeData(&image));
        pane.insertFromMimeData(&image);
        QCOMPARE(objectsIn(*pane.document()), 1);
        const QByteArray rtf = kobin::rtf::writeRtf(*pane.document());
        QVERIFY2(rtf.contains("{\\pict\\pngblip\\picw4\\pich3\\picwgoal60\\pichgoal45"), rtf.constData());
        pane.undo();
        QCOMPARE(pane.toPlainText(), QString("ab"));
        pane.redo();
        QCOMPARE(objectsIn(*pane.document()), 1);

        QMimeData both; // plain text wins over an image beside it
        both.setText(QStringLiteral("text"));
        both.setImageData(halvesOf(QSize(4, 3), Qt::red, Qt::blue));
        pane.insertFromMimeData(&both);
        QCOMPARE(objectsIn(*pane.document()), 1);
        QVERIFY(pane.toPlainText().contains(QStringLiteral("text")));
    }

    void aPageSourceTakesOnlyPlainText()
    {
        Pane pane;
        pane.setPlainTextOnly(true);
        QMimeData image;
        image.setImageData(halvesOf(QSize(4, 3), Qt::red, Qt::blue));
        QVERIFY(!pane.canInsertFromMimeData(&image));
        pane.insertFromMimeData(&image);
        QMimeData note; // a picture copied from a note, with its text beside it
        note.setData(QStringLiteral("application/x-kobin-note-rtf"), "{\\rtf1 {\\pict\\pngblip 00}}");
        note.setText(QStringLiteral("<p>") + QChar::ObjectReplacementCharacter);
        QVERIFY(pane.canInsertFromMimeData(&note));
        pane.insertFromMimeData(&note);
        QCOMPARE(pane.toPlainText(), QString("<p>"));
        QCOMPARE(objectsIn(*pane.document()), 0);
    }

    void droppedImageFilesKeepTheirBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("kept");
        const QByteArray png = pngOf(QSize(5, 5), Qt::green);
        const QByteArray jpeg = jpegOf(QSize(8, 8), Qt::green);
        QTest::newRow("png") << "a.png" << png << "\\pngblip\\picw5\\pich5\\picwgoal75\\pichgoal75\r\n" + hexOf(png);
        QTest::newRow("jpeg stays jpeg") << "a.jpg" << jpeg << "\\jpegblip\\picw8\\pich8\\picwgoal120\\pichgoal120\r\n" + hexOf(jpeg);
        QTest::newRow("bmp becomes png") << "a.bmp" << encodedAs(halvesOf(QSize(2, 2), Qt::red, Qt::red), "BMP")
                                         << QByteArray("\\pngblip\\picw2\\pich2");
    }

    void droppedImageFilesKeepTheirBytes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, kept);
        QTemporaryDir dir;
        QMimeData drop;
        drop.setUrls({QUrl::fromLocalFile(writeFile(dir, name, bytes))});
        Pane pane;
        QVERIFY(pane.canInsertFromMimeData(&drop));
        pane.insertFromMimeData(&drop);
        QCOMPARE(objectsIn(*pane.document()), 1);
        const QByteArray rtf = kobin::rtf::writeRtf(*pane.document());
        QVERIFY2(rtf.contains(kept), rtf.left(300).constData());
    }

    void filesThatAreNoImagesComeAsTheirNamesAsBefore()
    {
        QTemporaryDir dir;
        QMimeData drop;
        drop.setUrls({QUrl::fromLocalFile(writeFile(dir, "a.txt", "text")),
                      QUrl::fromLocalFile(writeFile(dir, "fake.png", "not a png"))});
        Pane pane;
        pane.insertFromMimeData(&drop);
        QCOMPARE(objectsIn(*pane.document()), 0);
        QVERIFY2(pane.toPlainText().contains("fake.png"), qPrintable(pane.toPlainText()));
    }

    void aCopiedPictureIsPastedIntoAnotherNoteAsItWas()
    {
        const QByteArray group = "{\\pict\\wmetafile8\\picw100\\pich100\\picwgoal300\\pichgoal300 " + hexOf(vectorWmf()) + "}";
        Pane from;
        QVERIFY(kobin::rtf::readRtf("{\\rtf1 x" + group + "y\\par}", *from.document()));
        from.selectAll();
        const std::unique_ptr<QMimeData> copied(from.createMimeDataFromSelection());
        QCOMPARE(copied->text(), QString("xy"));
        Pane to;
        to.insertFromMimeData(copied.get());
        QCOMPARE(objectsIn(*to.document()), 1);
        QVERIFY(kobin::rtf::writeRtf(*to.document()).contains(group));
    }

    void aPictureSelectedAloneIsCopiedAsAnImage()
    {
        Pane pane;
        QVERIFY(kobin::rtf::readRtf("{\\rtf1 a{\\pict\\pngblip " + hexOf(pngOf(QSize(6, 4), Qt::red)) + "}b\\par}",
                                    *pane.document()));
        QTextCursor picture(pane.document());
        picture.setPosition(1);
        picture.setPosition(2, QTextCursor::KeepAnchor);
        pane.setTextCursor(picture);
        const std::unique_ptr<QMimeData> copied(pane.createMimeDataFromSelection());
        QCOMPARE(qvariant_cast<QImage>(copied->imageData()).size(), QSize(6, 4));
        QVERIFY(kobin::rtf::writeRtf(*pane.document()).contains("\\pngblip")); // selecting it left it whole

        pane.moveCursor(QTextCursor::End); // the caret after a picture types text
        pane.moveCursor(QTextCursor::Left);
        pane.insertPlainText(QStringLiteral("typed"));
        QCOMPARE(pane.document()->toPlainText(), QString("a\uFFFCtypedb"));
        QVERIFY(!kobin::rtf::isKeptObject(pane.currentCharFormat()));
    }

    void widePicturesAreFittedToThePane()
    {
        kobin::PictureHandler handler;
        QTextDocument document;
        document.setDocumentMargin(4);
        document.setTextWidth(208);
        QTextImageFormat picture;
        picture.setWidth(1000);
        picture.setHeight(500);
        QCOMPARE(handler.intrinsicSize(&document, 0, picture), QSizeF(200, 100));
        picture.setWidth(100);
        picture.setHeight(80);
        QCOMPARE(handler.intrinsicSize(&document, 0, picture), QSizeF(100, 80));
    }

    void eachKindIsDrawnOrFramed_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<bool>("drawn");
        const QByteArray dib = dib24Of(QSize(4, 4), Qt::red);
        QTest::newRow("png") << "{\\pict\\pngblip " + hexOf(pngOf(QSize(4, 4), Qt::red)) + "}" << true;
        QTest::newRow("jpeg") << "{\\pict\\jpegblip " + hexOf(jpegOf(QSize(4, 4), Qt::red)) + "}" << true;
        QTest::newRow("dib") << "{\\pict\\dibitmap0 " + hexOf(dib) + "}" << true;
        QTest::newRow("wmf") << "{\\pict\\wmetafile8 " + hexOf(wmfWithStretchDib(dib, QRect(0, 0, 4, 4), QSize(4, 4))) + "}" << true;
        QTest::newRow("emf") << "{\\pict\\emfblip " + hexOf(emfWithStretchDibits(dib, QRect(0, 0, 4, 4), QRect(0, 0, 4, 4))) + "}" << true;
        QTest::newRow("object") << "{\\object{\\*\\objdata 01}{\\result{\\pict\\pngblip " + hexOf(pngOf(QSize(4, 4), Qt::red)) + "}}}" << true;
        QTest::newRow("vector wmf") << "{\\pict\\wmetafile8 " + hexOf(vectorWmf()) + "}" << false;
        QTest::newRow("damaged png") << QByteArray("{\\pict\\pngblip 89504e470d0a1a0a0000}") << false;
    }

    void eachKindIsDrawnOrFramed()
    {
        QFETCH(QByteArray, group);
        QFETCH(bool, drawn);
        QTextDocument document;
        QVERIFY(kobin::rtf::readRtf("{\\rtf1 " + group + "}", document));
        QTextCursor after(&document);
        after.setPosition(1);
        kobin::PictureHandler handler;
        const QImage image = handler.imageOf(after.charFormat());
        QCOMPARE(!image.isNull(), drawn);
        if (drawn)
            QCOMPARE(image.pixelColor(2, 2).red() > 200, true);
        QImage canvas(40, 40, QImage::Format_RGB32); // drawn or framed, never a crash
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        handler.drawObject(&painter, QRectF(0, 0, 40, 40), &document, 0, after.charFormat());
    }
};

QTEST_MAIN(TestTextPanePictures)
#include "tst_textpanepictures.moc"
