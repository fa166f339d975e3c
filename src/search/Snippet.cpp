#include "Snippet.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace kobin::search {

namespace {

// A snippet shows this many characters before the first match and after it.
constexpr qsizetype kSnippetBefore = 24;
constexpr qsizetype kSnippetAfter = 80;

QString oneLine(QStringView text)
{
    QString line = text.toString();
    for (QChar &c : line) {
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u' ';
    }
    return line;
}

// The cut looks this far around itself for the start of a character: a character
// made of more code units (a letter and its marks, a joined emoji) is rare.
constexpr qsizetype kLongestCharacter = 32;

// Never cuts a character in two: neither a surrogate pair nor a letter and its
// combining marks (a decomposed "й", "が").
qsizetype characterStart(QStringView text, qsizetype at)
{
    if (at <= 0 || at >= text.size())
        return at;
    const qsizetype windowStart = std::max<qsizetype>(0, at - kLongestCharacter);
    const qsizetype windowEnd = std::min(text.size(), at + kLongestCharacter);
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text.sliced(windowStart, windowEnd - windowStart));
    characters.setPosition(at - windowStart);
    return characters.isAtBoundary() ? at : windowStart + characters.toPreviousBoundary();
}

} // namespace

Snippet snippetAround(const QString &original, TextRange first, const QStringList &words, KanaMatching kana)
{
    Snippet snippet;
    const qsizetype from = characterStart(original, std::max<qsizetype>(0, first.start - kSnippetBefore));
    const qsizetype to = characterStart(original, std::min(original.size(), first.start + first.length + kSnippetAfter));
    const QString lead = from > 0 ? QStringLiteral("…") : QString();
    snippet.text = lead + oneLine(QStringView(original).sliced(from, to - from))
                   + (to < original.size() ? QStringLiteral("…") : QString());
    const FoldedText around = foldWithOrigins(QStringView(original).sliced(from, to - from), kana);
    for (const TextRange &range : findWords(around, words, 64))
        snippet.marks.push_back({range.start + lead.size(), range.length});
    return snippet;
}

} // namespace kobin::search
