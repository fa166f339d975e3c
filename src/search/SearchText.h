#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

namespace kobin::search {

// Whether hiragana and katakana count as the same letters.
enum class KanaMatching { Distinct, Same };

// Text as search compares it: NFKC (full-width letters and half-width katakana
// become the usual ones), case folded, and with KanaMatching::Same katakana as
// hiragana. Each character is folded together with the marks that follow it,
// so that every unit of the folded text comes from one known place of the
// original, and text and query fold the same way.
struct FoldedText {
    QString text;
    // Per unit of text: where the character it comes from starts in the
    // original; one more entry at the end holds the original's size.
    std::vector<qsizetype> origins;
};

FoldedText foldWithOrigins(QStringView original, KanaMatching kana);
QString fold(QStringView original, KanaMatching kana);

// The words of a query, folded: split at any white space (an ideographic space
// too). Quotes, "AND", "*" and the like are words like any other.
QStringList queryWords(QStringView query, KanaMatching kana);

// Whether folding katakana as hiragana could change what text matches: text
// holds kana that the two ways of matching tell apart.
bool holdsKana(QStringView text);

// A place in the original text, in UTF-16 units.
struct TextRange {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const TextRange &other) const { return start == other.start && length == other.length; }
};

// Where each word occurs in the original text, in order of position; words are
// folded as queryWords folds them. Overlapping occurrences of one word are all
// found; at most limit ranges are given.
std::vector<TextRange> findWords(const FoldedText &folded, const QStringList &words, size_t limit);

// Text folded once, as the index keeps it: katakana kept apart (withKanaAsHiragana
// gives KanaMatching::Same from it, unit for unit), and every so often a place
// where the folded text and the original line up, each at the start of one
// character, so that a match found in the folded text is placed in the original
// by folding only the stretch around it.
struct StoredFold {
    QString text;
    std::vector<qsizetype> alignments; // a folded offset and its original offset, in turn, ascending from (0, 0)
};

StoredFold foldForIndex(QStringView original);

// Folded text (KanaMatching::Distinct) with its katakana as hiragana.
QString withKanaAsHiragana(QStringView folded);

// Where the first occurrence of any of the words is in the original text, found
// in folded: the text of the original's StoredFold, or that with kana as hiragana
// when kana is KanaMatching::Same.
std::optional<TextRange> firstOccurrence(QStringView original, QStringView folded, const std::vector<qsizetype> &alignments,
                                         const QStringList &words, KanaMatching kana);
// The same, folding the original first.
std::optional<TextRange> firstOccurrence(QStringView original, const QStringList &words, KanaMatching kana);

// Where phrase occurs in text, folded alike (as a find in one note looks).
std::vector<TextRange> findPhrase(QStringView text, QStringView phrase, KanaMatching kana, size_t limit);

// Whether every word occurs in the folded text.
bool containsAll(QStringView folded, const QStringList &words);

} // namespace kobin::search
