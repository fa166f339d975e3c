#include "SearchText.h"

#include <algorithm>

namespace kobin::search {

namespace {

// Marks that fold into the character before them: combining marks, and the
// half-width voiced sound marks, which NFKC turns into combining ones.
bool joinsPrevious(char32_t c)
{
    return c == 0xFF9E || c == 0xFF9F || QChar::isMark(c);
}

char16_t foldKana(char16_t c)
{
    if (c >= 0x30A1 && c <= 0x30F6)
        return static_cast<char16_t>(c - 0x60);
    if (c == 0x30FD || c == 0x30FE) // ヽ ヾ
        return static_cast<char16_t>(c - 0x60);
    return c;
}

// How many units of the original a StoredFold goes at most without a place where
// it lines up with its folded text.
constexpr qsizetype kAlignmentEvery = 1024;

// Characters that NFKC and case folding leave as they are, so that the common
// Japanese and ASCII text folds without building strings.
bool foldsToItself(char32_t c)
{
    return (c >= 0x3041 && c <= 0x3096) || (c >= 0x30A1 && c <= 0x30FA) || c == 0x30FC
           || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF);
}

char32_t codePointAt(QStringView text, qsizetype i, qsizetype *units)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    *units = 1;
    return c.unicode();
}

class Folder
{
public:
    Folder(QStringView original, KanaMatching kana, bool withOrigins, std::vector<qsizetype> *alignments = nullptr)
        : m_original(original), m_kana(kana), m_withOrigins(withOrigins), m_alignments(alignments)
    {
        m_out.text.reserve(original.size());
        if (withOrigins)
            m_out.origins.reserve(static_cast<size_t>(original.size()) + 1);
    }

    FoldedText run()
    {
        qsizetype i = 0;
        const qsizetype size = m_original.size();
        qsizetype nextAlignment = 0;
        while (i < size) {
            if (m_alignments && i >= nextAlignment) {
                m_alignments->push_back(m_out.text.size());
                m_alignments->push_back(i);
                nextAlignment = i + kAlignmentEvery;
            }
            qsizetype units = 1;
            const char32_t first = codePointAt(m_original, i, &units);
            qsizetype end = i + units;
            while (end < size) {
                qsizetype markUnits = 1;
                if (!joinsPrevious(codePointAt(m_original, end, &markUnits)))
                    break;
                end += markUnits;
            }
            if (units == 1 && QChar::isSurrogate(first))
                append(QChar::ReplacementCharacter, i); // half a pair stands for no character
            else if (end == i + 1 && first < 0x80)
                append(first >= 'A' && first <= 'Z' ? char16_t(first + ('a' - 'A')) : char16_t(first), i);
            else if (end == i + 1 && foldsToItself(first))
                append(static_cast<char16_t>(first), i);
            else
                appendFolded(m_original.sliced(i, end - i), i);
            i = end;
        }
        if (m_withOrigins)
            m_out.origins.push_back(size);
        return std::move(m_out);
    }

private:
    void append(char16_t c, qsizetype origin)
    {
        m_out.text.append(QChar(m_kana == KanaMatching::Same ? foldKana(c) : c));
        if (m_withOrigins)
            m_out.origins.push_back(origin);
    }

    void appendFolded(QStringView piece, qsizetype origin)
    {
        const QString folded = piece.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
        for (const QChar c : folded)
            append(c.unicode(), origin);
    }

    QStringView m_original;
    KanaMatching m_kana;
    bool m_withOrigins;
    std::vector<qsizetype> *m_alignments;
    FoldedText m_out;
};

} // namespace

FoldedText foldWithOrigins(QStringView original, KanaMatching kana)
{
    return Folder(original, kana, true).run();
}

QString fold(QStringView original, KanaMatching kana)
{
    return Folder(original, kana, false).run().text;
}

QStringList queryWords(QStringView query, KanaMatching kana)
{
    QStringList words;
    const QString folded = fold(query, kana);
    qsizetype start = -1;
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const bool space = i == folded.size() || folded[i].isSpace();
        if (space && start >= 0) {
            words.append(folded.mid(start, i - start));
            start = -1;
        } else if (!space && start < 0) {
            start = i;
        }
    }
    return words;
}

bool holdsKana(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E || (u >= 0x30A1 && u <= 0x30F6)
               || u == 0x30FD || u == 0x30FE;
    });
}

std::vector<TextRange> findWords(const FoldedText &folded, const QStringList &words, size_t limit)
{
    std::vector<TextRange> ranges;
    const QStringView text(folded.text);
    for (const QString &word : words) {
        if (word.isEmpty())
            continue;
        size_t found = 0;
        for (qsizetype at = text.indexOf(word); at >= 0 && found < limit; at = text.indexOf(word, at + 1), ++found) {
            const qsizetype lastOrigin = folded.origins[static_cast<size_t>(at + word.size() - 1)];
            qsizetype after = at + word.size();
            while (after < folded.text.size() && folded.origins[static_cast<size_t>(after)] <= lastOrigin)
                ++after;
            const qsizetype start = folded.origins[static_cast<size_t>(at)];
            ranges.push_back({start, folded.origins[static_cast<size_t>(after)] - start});
        }
    }
    std::sort(ranges.begin(), ranges.end(),
              [](const TextRange &a, const TextRange &b) { return a.start < b.start || (a.start == b.start && a.length > b.length); });
    if (ranges.size() > limit)
        ranges.resize(limit);
    return ranges;
}

StoredFold foldForIndex(QStringView original)
{
    StoredFold stored;
    stored.text = Folder(original, KanaMatching::Distinct, false, &stored.alignments).run().text;
    return stored;
}

QString withKanaAsHiragana(QStringView folded)
{
    QString text(folded.size(), Qt::Uninitialized);
    std::transform(folded.begin(), folded.end(), text.begin(), [](QChar c) { return QChar(foldKana(c.unicode())); });
    return text;
}

std::optional<TextRange> firstOccurrence(QStringView original, QStringView folded, const std::vector<qsizetype> &alignments,
                                         const QStringList &words, KanaMatching kana)
{
    const qsizetype places = static_cast<qsizetype>(alignments.size() / 2);
    const auto foldedAt = [&alignments](qsizetype place) { return alignments[static_cast<size_t>(2 * place)]; };
    const auto originalAt = [&alignments](qsizetype place) { return alignments[static_cast<size_t>(2 * place + 1)]; };
    std::optional<TextRange> first;
    for (const QString &word : words) {
        const qsizetype at = word.isEmpty() ? -1 : folded.indexOf(word);
        if (at < 0)
            continue;
        // The stretch between the places that line up around the word, folded again for its origins.
        qsizetype before = 0;
        for (qsizetype low = 0, high = places; low < high;) {
            const qsizetype middle = (low + high) / 2;
            if (foldedAt(middle) <= at) {
                before = middle;
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        qsizetype after = before;
        while (after < places && foldedAt(after) < at + word.size())
            ++after;
        // Bounded, so that a damaged index gives a wrong place at worst.
        const qsizetype to = std::clamp<qsizetype>(after < places ? originalAt(after) : original.size(), 0, original.size());
        const qsizetype from = std::clamp<qsizetype>(places > 0 ? originalAt(before) : 0, 0, to);
        const std::vector<TextRange> found = findWords(foldWithOrigins(original.sliced(from, to - from), kana), {word}, 1);
        if (found.empty())
            continue;
        const TextRange range{found.front().start + from, found.front().length};
        if (!first || range.start < first->start || (range.start == first->start && range.length > first->length))
            first = range;
    }
    return first;
}

std::optional<TextRange> firstOccurrence(QStringView original, const QStringList &words, KanaMatching kana)
{
    const StoredFold stored = foldForIndex(original);
    return firstOccurrence(original, kana == KanaMatching::Same ? withKanaAsHiragana(stored.text) : stored.text,
                           stored.alignments, words, kana);
}

std::vector<TextRange> findPhrase(QStringView text, QStringView phrase, KanaMatching kana, size_t limit)
{
    const QString folded = fold(phrase, kana);
    if (folded.trimmed().isEmpty())
        return {};
    return findWords(foldWithOrigins(text, kana), {folded}, limit);
}

bool containsAll(QStringView folded, const QStringList &words)
{
    return std::all_of(words.begin(), words.end(), [folded](const QString &word) { return folded.contains(word); });
}

} // namespace kobin::search
