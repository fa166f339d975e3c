// Showing items: switching between two text items whose notes are 100 KB of
// formatted Japanese RTF (store the shown note, load the next, in the real text
// pane), as our writer writes them and as the Windows rich-text control does;
// opening a note of 50 pictures of 1 MB each and drawing what is seen of it;
// and opening a book of 10,000 items with 10,000 notes, the copy into the
// working folder included.
#include "BookFixture.h"
#include "PaneAdapters.h"
#include "PictureFiles.h"
#include "RichEditNote.h"
#include "RtfWriter.h"
#include "TextPane.h"
#include "TreeString.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace kobin;

namespace {

// About 100 KB of RTF: Japanese paragraphs with bold, coloured and larger runs.
QByteArray formattedNote(const QString &topic)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat plain, bold, red, large;
    bold.setFontWeight(QFont::Bold);
    red.setForeground(QColor(255, 0, 0));
    large.setFontPointSize(14);
    for (int i = 0; document.characterCount() < 14000; ++i) {
        cursor.insertText(topic + QStringLiteral("についてのメモ %1 ").arg(i), large);
        cursor.insertText(QStringLiteral("表計算ソフトの能力を調べた。"), plain);
        cursor.insertText(QStringLiteral("重要："), bold);
        cursor.insertText(QStringLiteral("①髙～ｶﾀｶﾅ"), red);
        cursor.insertText(QStringLiteral("ホームページの内容を整理して、あとで読み返せるようにする。"), plain);
        cursor.insertBlock();
    }
    return rtf::writeRtf(document);
}

void SwitchTextItems100KB(benchmark::State &state)
{
    QTemporaryDir dir;
    Book book(dir.path() + u'/');
    book.setBookFile(QString(), QStringLiteral("bench"));
    const QString working = book.workingFolder().path();
    QDir().mkpath(working);
    for (const char *key : {"a2", "a3"}) {
        QFile file(working + QString::fromLatin1(key) + QStringLiteral(".rtf"));
        file.open(QIODevice::WriteOnly);
        file.write(state.range(0) == 1 ? bench::richEditNote(100 * 1024, key[1] == '2' ? 1 : 2).rtf
                                       : formattedNote(QString::fromLatin1(key)));
    }
    treestring::buildTree(book.tree(), u"|0\\B=a1+root|a1\\X=a2+richtxt|a1\\Y=a3+richtxt|");
    TextPane pane;
    pane.resize(800, 600);
    pane.show();
    TextPaneNotes notes(pane);
    FakePageView page;
    FakeArrangement arrangement;
    FakeWindowStatus status;
    CommandRegistry commands;
    CommandState commandState(commands);
    FakePrompter prompter;
    ItemDisplay display(book, {notes, page, arrangement, status, commandState}, prompter);
    display.showItem(book.tree().item(QStringLiteral("a2")));
    QApplication::processEvents();
    const char *next = "a3";
    for (auto _ : state) {
        display.showItem(book.tree().item(QString::fromLatin1(next)));
        // The pane lays out what is seen at once and the rest in the background;
        // with whole_layout the time includes that rest.
        if (state.range(1) == 1)
            benchmark::DoNotOptimize(pane.document()->documentLayout()->documentSize());
        next = next[1] == '3' ? "a2" : "a3";
    }
    state.SetLabel(QStringLiteral("%1 note %2 KB")
                       .arg(state.range(0) == 1 ? "RichEdit-shaped" : "our writer's")
                       .arg(QFileInfo(working + "a2.rtf").size() / 1024)
                       .toStdString());
}
BENCHMARK(SwitchTextItems100KB)
    ->ArgNames({"richedit", "whole_layout"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// About 1 MB of PNG: noise hardly compresses.
QByteArray noisePng(quint32 seed)
{
    QImage image(592, 592, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y)
        random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), image.width());
    return encodedAs(image.convertToFormat(QImage::Format_RGB888), "PNG");
}

void OpenNoteOf50Pictures(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pictures.rtf"));
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS UI Gothic;}}\\pard ";
    qint64 pictureBytes = 0;
    for (quint32 i = 0; i < 50; ++i) {
        const QByteArray png = noisePng(i);
        pictureBytes += png.size();
        rtf += "Picture " + QByteArray::number(i) + "\\par{\\pict\\pngblip\\picw592\\pich592\\picwgoal8880\\pichgoal8880\r\n"
            + hexOf(png) + "}\\par\r\n";
    }
    rtf += "}";
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(rtf);
    file.close();
    TextPane pane;
    pane.resize(800, 600);
    pane.show();
    for (auto _ : state) {
        if (!pane.loadRichText(path))
            state.SkipWithError("the note was not read");
        pane.viewport()->repaint(); // what is seen at once, pictures drawn
    }
    state.SetLabel(QStringLiteral("%1 MB of pictures, %2 MB of RTF")
                       .arg(pictureBytes / (1024 * 1024))
                       .arg(rtf.size() / (1024 * 1024))
                       .toStdString());
}
BENCHMARK(OpenNoteOf50Pictures)->Unit(benchmark::kMillisecond)->Iterations(5);

void OpenBook10kItems(benchmark::State &state)
{
    BookFixture fixture;
    const QString base = fixture.dir.path() + QStringLiteral("/app");
    const QString bookPath = base + QStringLiteral("/big.iis");
    QString treeString = QStringLiteral("|0\\大きな本=a1+root|");
    for (int i = 2; i <= 10000; ++i)
        treeString += QStringLiteral("a1\\項目 %1=a%1+richtxt|").arg(i);
    {
        QFile book(bookPath);
        book.open(QIODevice::WriteOnly);
        book.write(treeString.toUtf8().prepend("\xEF\xBB\xBF") + "\r\n");
    }
    QDir().mkpath(base + QStringLiteral("/big"));
    const QByteArray note = formattedNote(QStringLiteral("項目")).left(3000) + "}";
    for (int i = 1; i <= 10000; ++i) {
        QFile file(base + QStringLiteral("/big/a%1.rtf").arg(i));
        file.open(QIODevice::WriteOnly);
        file.write(note);
    }
    const QString cp = QStringLiteral("mkdir -p %1/temp && rm -f %1/temp/* && cp %1/big/*.rtf %1/temp/").arg(base);
    for (auto _ : state) {
        if (state.range(0) == 1) {
            if (std::system(cp.toLocal8Bit().constData()) != 0)
                state.SkipWithError("cp failed");
            continue;
        }
        fixture.dialogs.answers = {bookPath};
        fixture.bookCommands.openBook();
    }
    state.SetLabel(state.range(0) == 1 ? "rm and cp of the same files" : "open");
    if (state.range(0) == 0 && fixture.tree.count() != 10000)
        state.SkipWithError("the book did not open");
}
BENCHMARK(OpenBook10kItems)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
