#include "Snippet.h"

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

// Never cuts a surrogate pair in two.
qsizetype characterStart(QStringView text, qsizetype at)
{
    return at > 0 && at < text.size() && text[at].isLowSurrogate() ? at - 1 : at;
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
