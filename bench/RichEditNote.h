#pragma once

#include <QByteArray>
#include <QString>

namespace bench {

// A note shaped the way the Windows rich-text control writes one, with the
// plain text it holds.
struct RichEditNote {
    QByteArray rtf;
    QString text; // paragraphs ended by "\n", the last one too
};

// About size bytes of such a note: RichEdit's font and colour tables, a
// paragraph mark every 40-100 characters, a change of format every 20-50
// characters (bold, italic, underline, colour, another font and size), now and
// then a centred or indented paragraph, Japanese written as \'xx pairs in code
// page 932 and Latin text in a font of its own. The same seed gives the same note.
RichEditNote richEditNote(qsizetype size, unsigned seed = 1);

} // namespace bench
