#include "DocumentFormats.h"
#include "RichTextFiles.h"
#include "RtfConversion.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace kobin;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestRichTextFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        // A pipe's writer whose reader has gone gets an error, not the end of the test.
        std::signal(SIGPIPE, SIG_IGN);
    }

    void loadFileReplacesTheDocumentOnlyWhenItCanReadIt()
    {
        QTextDocument document;
        document.setPlainText("kept");
        QVERIFY(!richtext::loadFile(document, m_dir.filePath("missing.rtf")));
        QVERIFY(!richtext::loadFile(document, m_dir.path()));
        QVERIFY(writeFile(m_dir.filePath("plain.rtf"), "not rich text"));
        QVERIFY(!richtext::loadFile(document, m_dir.filePath("plain.rtf")));
        QCOMPARE(document.toPlainText(), QString("kept"));

        QVERIFY(richtext::loadFile(document, KOBIN_RTF_DATA "/richedit20.rtf"));
        QVERIFY(document.toPlainText().startsWith("①髙～"));
        QVERIFY(!document.isUndoAvailable());
    }

    void onlyRegularFilesWithinTheBoundAreLoaded()
    {
        QTextDocument document;
        document.setPlainText("kept");
        richtext::LoadFailure failure = richtext::LoadFailure::NotRtf;
        QVERIFY(!richtext::loadFile(document, "/dev/zero", &failure));
        QCOMPARE(failure, richtext::LoadFailure::NotRegularFile);

        // A pipe is refused at once, even with a note about to come through it.
        const QByteArray pipe = QFile::encodeName(m_dir.filePath("pipe.rtf"));
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        std::thread writer([&pipe] {
            const int fd = ::open(pipe.constData(), O_WRONLY); // waits for a reader
            if (fd >= 0) {
                [[maybe_unused]] const ssize_t written = ::write(fd, "{\\rtf1 piped}", 13);
                ::close(fd);
            }
        });
        const bool loaded = richtext::loadFile(document, QFile::decodeName(pipe), &failure);
        const int release = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK); // lets the writer end
        writer.join();
        ::close(release);
        QVERIFY(!loaded);
        QCOMPARE(failure, richtext::LoadFailure::NotRegularFile);

        const QString big = m_dir.filePath("big.rtf");
        QVERIFY(writeFile(big, "{\\rtf1 big}"));
        QVERIFY(QFile::resize(big, richtext::kMaxNoteFileSize + 1)); // sparse
        QVERIFY(!richtext::loadFile(document, big, &failure));
        QCOMPARE(failure, richtext::LoadFailure::TooLarge);
        QCOMPARE(document.toPlainText(), QString("kept"));

        QVERIFY(QFile::resize(big, richtext::kMaxNoteFileSize));
        QVERIFY(richtext::loadFile(document, big));
        QCOMPARE(document.toPlainText(), QString("big"));
    }

    void plainTextLoadsOnTheTermsOfTheDocument()
    {
        QVERIFY(writeFile(m_dir.filePath("plain.rtf"), "not rich text"));
        const QString big = m_dir.filePath("big-text.rtf");
        QVERIFY(writeFile(big, "{\\rtf1 big}"));
        QVERIFY(QFile::resize(big, richtext::kMaxNoteFileSize + 1));
        const std::pair<QString, richtext::LoadFailure> refused[] = {
            {m_dir.filePath("missing.rtf"), richtext::LoadFailure::Unreadable},
            {"/dev/zero", richtext::LoadFailure::NotRegularFile},
            {m_dir.filePath("plain.rtf"), richtext::LoadFailure::NotRtf},
            {big, richtext::LoadFailure::TooLarge},
        };
        for (const auto &[path, expected] : refused) {
            auto failure = expected == richtext::LoadFailure::NotRtf ? richtext::LoadFailure::Unreadable
                                                                      : richtext::LoadFailure::NotRtf;
            QVERIFY(!richtext::loadPlainText(path, u"\n", &failure));
            QCOMPARE(failure, expected);
        }

        // A note longer than one piece read at a time is read whole.
        const QString longNote = m_dir.filePath("long.rtf");
        QVERIFY(writeFile(longNote, "{\\rtf1 " + QByteArray(100 * 1024, 'x') + " end}"));
        QVERIFY(richtext::loadPlainText(longNote, u"\n").value_or(QString()).endsWith("x end"));

        for (const char *name : {"/richedit10.rtf", "/richedit20.rtf", "/richedit41.rtf"}) {
            QTextDocument document;
            QVERIFY(richtext::loadFile(document, KOBIN_RTF_DATA + QString(name)));
            QCOMPARE(richtext::loadPlainText(KOBIN_RTF_DATA + QString(name), u"\r\n").value_or("(not read)"),
                     richtext::plainText(document, u"\r\n"));
        }
    }

    void savedNotesLoadWithTheirFormats()
    {
        QTextDocument note;
        QVERIFY(richtext::loadFile(note, KOBIN_RTF_DATA "/richedit41.rtf"));
        const QString path = m_dir.filePath("a2.rtf");
        QVERIFY(richtext::saveFile(note, path, richtext::FileType::Rtf));
        QTextDocument loaded;
        QVERIFY(richtext::loadFile(loaded, path));
        QCOMPARE(testing::describe(loaded), testing::describe(note));

        // Saving what was read back writes the very same bytes again.
        const QString stored = m_dir.filePath("a3.rtf");
        QVERIFY(richtext::saveFile(loaded, stored, richtext::FileType::Rtf));
        QCOMPARE(testing::readBytes(stored), testing::readBytes(path));
    }

    void plainTextIsSavedInCodePage932OrUtf8_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("code page 932") << QString("表\nｱ\u2028b") << QByteArray("\x95\x5c\r\n\xb1\r\nb");
        QTest::newRow("wave dash folded") << QString("〜") << QByteArray("\x81\x60");
        QTest::newRow("UTF-8 when a character does not fit")
            << QString("表😀") << QByteArray("\xEF\xBB\xBF\xE8\xA1\xA8\xF0\x9F\x98\x80");
    }

    void plainTextIsSavedInCodePage932OrUtf8()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QTextDocument document;
        document.setPlainText(text);
        const QString path = m_dir.filePath("plain.txt");
        QVERIFY(richtext::saveFile(document, path, richtext::FileType::PlainText));
        QCOMPARE(testing::readBytes(path), bytes);
    }

    void failedSavesReportFailureAndLeaveFilesAlone()
    {
        QTextDocument document;
        document.setPlainText("new");
        QVERIFY(!richtext::saveFile(document, m_dir.path(), richtext::FileType::Rtf));
        QVERIFY(!richtext::saveFile(document, m_dir.filePath("no/such/folder/a.rtf"), richtext::FileType::Rtf));

        const QString path = m_dir.filePath("old.rtf");
        QVERIFY(writeFile(path, "{\\rtf1 old}"));
        QVERIFY(!richtext::saveFile(document, path + "/inside.rtf", richtext::FileType::PlainText));
        QCOMPARE(testing::readBytes(path), QByteArray("{\\rtf1 old}"));

        // A note larger than notes are read is never written: it could not be read back.
        document.setPlainText(QString(500, QChar(0x6F22)));
        richtext::SaveFailure failure = richtext::SaveFailure::Unwritable;
        QVERIFY(!richtext::saveFile(document, path, richtext::FileType::Rtf, 4000, &failure));
        QCOMPARE(failure, richtext::SaveFailure::TooLarge);
        QCOMPARE(testing::readBytes(path), QByteArray("{\\rtf1 old}"));
        QVERIFY(richtext::saveFile(document, path, richtext::FileType::Rtf, 8000));

        // Nor is a note converted into one: raw code page text takes four times its bytes in RTF.
        QVERIFY(writeFile(path, "{\\rtf1\\ansi\\ansicpg932 " + QByteArray(1000, 'x').replace("x", "\x8a\xbf") + "}"));
        richtext::LoadFailure why = richtext::LoadFailure::Unreadable;
        QVERIFY(!richtext::convertRtfFile(path, richtext::Conversion::Rtf, &why, 4000));
        QCOMPARE(why, richtext::LoadFailure::TooLargeToWrite);
        QVERIFY(richtext::convertRtfFile(path, richtext::Conversion::Rtf, &why, 20000));
    }

    void textGetAndSet()
    {
        QTextDocument document;
        QVERIFY(richtext::loadFile(document, KOBIN_RTF_DATA "/richedit20.rtf"));
        QVERIFY(richtext::text(document).startsWith("①髙～ｶﾀｶﾅ\r\nソ表能 下線斜体\r\n"));

        richtext::setText(document, u"a\r\nb\rc\nd\te");
        QCOMPARE(document.blockCount(), 4);
        QCOMPARE(richtext::text(document), QString("a\r\nb\r\nc\r\nd\te"));
        QVERIFY(testing::formatAt(document, 0).fontFamilies().isNull());
        QCOMPARE(document.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

        // U+FFFC would stand for an object, and the document's HTML leave out its text.
        richtext::setText(document, u"before\uFFFCafter");
        QCOMPARE(richtext::text(document), QString("before\uFFFDafter"));
        QVERIFY(document.toHtml().contains("before\uFFFDafter"));

        QTextDocument lines;
        QVERIFY(richtext::loadFile(lines, KOBIN_RTF_DATA "/richedit10.rtf"));
        QVERIFY(richtext::plainText(lines, u"|").endsWith("赤い中央|明朝|ボマア{}\\"));
    }
};

QTEST_MAIN(TestRichTextFiles)
#include "tst_richtextfiles.moc"
