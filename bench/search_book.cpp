// Writes the book of 10,000 items that bench_search searches (10,000 notes and
// side texts, 2,000 saved pages) as a book file with its book folder, for
// search-time.sh: ROOT/work.iis, ROOT/work/, ROOT/pages/, and in ROOT/text/ the
// text search reads of every caption, note and page, one file each, for rg.
// Usage: search_book ROOT
#include "BookFile.h"
#include "BookSources.h"
#include "ContentText.h"
#include "GeneratedBook.h"
#include "SearchBookShape.h"
#include "TreeString.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>

using namespace kobin;

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // notes are written through QTextDocument, which needs fonts
    if (argc != 2) {
        std::fputs("usage: search_book ROOT\n", stderr);
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]);
    const GeneratedBook book(root, largeSearchBookShape());
    if (!writeBookFile(root + QStringLiteral("/work.iis"), treestring::fromTree(book.tree)))
        return 1;
    QDir().mkpath(root + QStringLiteral("/text"));
    int written = 0;
    for (const search::Source &source :
         search::bookSources(search::indexedItems(book.tree), book.working, {QString(), root + u'/'})) {
        const std::optional<QString> text = source.place == search::Place::Caption ? source.text
                                            : source.place == search::Place::Page ? search::pageFileText(source.path)
                                                                                  : search::noteFileText(source.path);
        QFile file(root + QStringLiteral("/text/%1.txt").arg(++written));
        if (!text || !file.open(QIODevice::WriteOnly) || file.write(text->toUtf8()) < 0)
            return 1;
    }
    return 0;
}
