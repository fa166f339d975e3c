// Exporting a book of 10,000 items as a static web site: a note of a few
// paragraphs for every folder and text item, and for every third item a homepage
// whose page has a files folder of its own. The whole export, from the book's
// files to the site moved into place.
#include "HtmlExport.h"
#include "ItemTree.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace kobin;

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

struct LargeBook {
    QTemporaryDir dir;
    ItemTree tree;
    QString bookFolder() const { return dir.path() + QStringLiteral("/book/"); }
    QString pages() const { return dir.path() + QStringLiteral("/pages/"); }

    explicit LargeBook(int items)
    {
        QString s = QStringLiteral("|0\\大きな本=a1+root|");
        int folder = 1;
        QByteArray note = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil MS UI Gothic;}}\\f0\\fs20 ";
        for (int paragraph = 0; paragraph < 5; ++paragraph)
            note += "\\u26085?\\u26412?\\u35486? text of a paragraph, {\\b bold} and {\\i italic} words\\par\n";
        note += "}";
        write(bookFolder() + QStringLiteral("a1.rtf"), note);
        for (int i = 2; i <= items; ++i) {
            const QString key = QStringLiteral("a%1").arg(i);
            if ((i - 2) % 10 == 0) {
                s += QStringLiteral("a1\\フォルダ%1=%2+fclose|").arg(i).arg(key);
                folder = i;
                write(bookFolder() + key + QStringLiteral(".rtf"), note);
            } else if (i % 3 == 0) {
                s += QStringLiteral("a%1\\ページ %2=%3+htmlfile|").arg(folder).arg(i).arg(key);
                const QString page = pages() + QStringLiteral("p%1.html").arg(i);
                write(page, QByteArray("<html><body>") + QByteArray(4000, 'x') + "</body></html>");
                write(pages() + QStringLiteral("p%1_files/style.css").arg(i), "body { }");
                write(pages() + QStringLiteral("p%1_files/picture.png").arg(i), QByteArray(2000, 'p'));
                write(bookFolder() + key + QStringLiteral("url.txt"), QFile::encodeName(page) + "\r\n");
                write(bookFolder() + key + QStringLiteral("p%1.rtf").arg(i), note);
            } else {
                s += QStringLiteral("a%1\\テキスト %2=%3+richtxt|").arg(folder).arg(i).arg(key);
                write(bookFolder() + key + QStringLiteral(".rtf"), note);
            }
        }
        treestring::buildTree(tree, s);
    }
};

void ExportBookOfItems(benchmark::State &state)
{
    const LargeBook book(static_cast<int>(state.range(0)));
    const HtmlExport::Source source{
        book.tree,
        [&](const QString &name) -> std::optional<QString> {
            const QString path = book.bookFolder() + name;
            return QFile::exists(path) ? std::optional<QString>(path) : std::nullopt;
        },
        [&](const QString &key) -> std::optional<QString> {
            QFile url(book.bookFolder() + key + QStringLiteral("url.txt"));
            if (!url.open(QIODevice::ReadOnly))
                return std::nullopt;
            return QFile::decodeName(url.readAll().trimmed());
        }};
    for (auto _ : state) {
        QTemporaryDir out;
        if (HtmlExport::write(source, out.path() + QStringLiteral("/site")).outcome != HtmlExport::Outcome::Written)
            state.SkipWithError("the export failed");
        state.PauseTiming(); // removing the site is not part of writing it
        out.remove();
        state.ResumeTiming();
    }
    state.SetLabel(QStringLiteral("%1 items").arg(book.tree.count()).toStdString());
}
BENCHMARK(ExportBookOfItems)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char **argv)
{
    // Notes become documents, which need fonts, and so a GUI application; never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
