#include "TreeString.h"

#include "ImageKeys.h"
#include "ItemTree.h"

#include <algorithm>
#include <vector>

namespace kobin::treestring {

namespace {

// Positions (from 1) of one delimiter in the tree string. The reader's searches
// move forward through them, so each search resumes where the last one ended;
// a search that goes back (a cursor that found nothing starts again) is a binary
// search. Damaged or hostile strings therefore cannot make reading slow.
class DelimiterSearch
{
public:
    explicit DelimiterSearch(const std::vector<qsizetype> &positions) : m_positions(positions) {}

    // The first position after x, or 0 when there is none.
    qsizetype after(qsizetype x) { return atOrAfter(x + 1); }

    qsizetype atOrAfter(qsizetype x)
    {
        const size_t count = m_positions.size();
        if (m_next > 0 && m_positions[m_next - 1] >= x) {
            m_next = lowerBound(0, x);
        } else {
            for (int steps = 0; m_next < count && m_positions[m_next] < x; ++m_next) {
                if (++steps == 8) {
                    m_next = lowerBound(m_next, x);
                    break;
                }
            }
        }
        return m_next < count ? m_positions[m_next] : 0;
    }

private:
    size_t lowerBound(size_t from, qsizetype x) const
    {
        return static_cast<size_t>(std::lower_bound(m_positions.begin() + static_cast<std::ptrdiff_t>(from),
                                                     m_positions.end(), x)
                                   - m_positions.begin());
    }

    const std::vector<qsizetype> &m_positions;
    size_t m_next = 0; // index of the first position at or after the last x
};

struct RecordDelimiters {
    std::vector<qsizetype> bars, backslashes, equals, pluses;
    // The parts between bars (and before the first, after the last) holding more
    // than line breaks: what a reader of the file would take for records.
    int records = 0;

    explicit RecordDelimiters(QStringView text)
    {
        const char16_t *data = text.utf16();
        bool partHoldsText = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            switch (data[i]) {
            case u'|':
                bars.push_back(i + 1);
                records += partHoldsText;
                partHoldsText = false;
                continue;
            case u'\r':
            case u'\n': continue;
            case u'\\': backslashes.push_back(i + 1); break;
            case u'=': equals.push_back(i + 1); break;
            case u'+': pluses.push_back(i + 1); break;
            default: break;
            }
            partHoldsText = true;
        }
        records += partHoldsText;
    }
};

// The characters from position first up to (not including) position end, both from 1;
// empty when the field cannot be cut.
QStringView field(QStringView text, qsizetype first, qsizetype end)
{
    if (first < 1 || end < first)
        return {};
    return text.mid(first - 1, end - first);
}

} // namespace

QString storableCaption(QStringView caption)
{
    QString stored = caption.toString();
    for (QChar &ch : stored) {
        switch (ch.unicode()) {
        case u'|': ch = QChar(0xFF5C); break;
        case u'\\': ch = QChar(0xFF3C); break;
        case u'=': ch = QChar(0xFF1D); break;
        case u'+': ch = QChar(0xFF0B); break;
        default: break;
        }
    }
    return stored;
}

void deriveImages(ItemTree &tree, TreeItem *item)
{
    const QString &image = item->image();
    if (image == images::RichText)
        tree.setImages(item, images::imageKey(images::SelectedRichText), {});
    else if (image == images::HtmlFile)
        tree.setImages(item, images::imageKey(images::SelectedHtmlFile), {});
    else if (image == images::FolderClosed)
        tree.setImages(item, images::imageKey(images::FolderOpen), images::imageKey(images::FolderOpen));
}

namespace {
void appendRecord(const QString &parentKey, const TreeItem *item, QString &out)
{
    out += parentKey;
    out += u'\\';
    out += storableCaption(item->text());
    out += u'=';
    out += item->key();
    out += u'+';
    out += item->image();
    out += u'|';
}
} // namespace

void appendChildRecords(const TreeItem *item, QString &treeString)
{
    // Pre-order without recursion: a book may be as deep as it is long.
    std::vector<const TreeItem *> pending(item->children().rbegin(), item->children().rend());
    while (!pending.empty()) {
        const TreeItem *current = pending.back();
        pending.pop_back();
        appendRecord(current->parent()->key(), current, treeString);
        pending.insert(pending.end(), current->children().rbegin(), current->children().rend());
    }
}

void appendItemRecords(const TreeItem *item, QString &treeString)
{
    appendRecord(item->parent() ? item->parent()->key() : QStringLiteral("0"), item, treeString);
    appendChildRecords(item, treeString);
}

QString fromTree(const ItemTree &tree)
{
    QString treeString = QStringLiteral("|");
    for (const TreeItem *top : tree.topLevelItems())
        appendItemRecords(top, treeString);
    return treeString;
}

RecordCounts buildTree(ItemTree &tree, QStringView s)
{
    const RecordDelimiters delimiters(s);
    tree.reserve(tree.count() + static_cast<int>(std::min<size_t>(delimiters.backslashes.size(), 1u << 24)));
    // One search per cursor and per field end, each moving forward on its own.
    DelimiterSearch nextBar(delimiters.bars), nextBackslash(delimiters.backslashes),
        nextEquals(delimiters.equals), nextPlus(delimiters.pluses), captionEnd(delimiters.equals),
        keyEnd(delimiters.pluses), imageEnd(delimiters.bars);
    const QString topLevelParent = QStringLiteral("0");

    RecordCounts counts;
    qsizetype b = 0, k = 0, e = 0, q = 0;
    for (;;) {
        b = nextBar.after(b);
        k = nextBackslash.after(k);
        e = nextEquals.after(e);
        q = nextPlus.after(e);
        if (k == 0)
            break;

        const QStringView parent = field(s, b + 1, k);
        const QStringView key = e > 0 ? field(s, e + 1, keyEnd.atOrAfter(e)) : QStringView();
        const QStringView image = q > 0 ? field(s, q + 1, imageEnd.atOrAfter(q)) : QStringView();
        // A caption must end at its own record's "=": one running on to another
        // record's would overlap other captions, and reading them could take time
        // growing with the square of the string's length.
        const bool captionEndsAtItsEquals = captionEnd.atOrAfter(k) == e;
        // Reject fields that cannot name an item before copying anything.
        if (key.isEmpty() || keyNumber(key) == 0 || image.size() > images::kLongestImageKey
            || !images::isImageKey(image) || !captionEndsAtItsEquals || parent.size() > 11)
            continue;
        const QString keyText = key.toString();
        if (tree.item(keyText))
            continue;
        TreeItem *parentItem = nullptr;
        if (parent != topLevelParent) {
            parentItem = tree.item(parent.toString());
            if (!parentItem)
                continue;
        }

        TreeItem *item = tree.add(parentItem, parentItem ? Relationship::Child : Relationship::Last, keyText,
                                  field(s, k + 1, e).toString(), images::imageKey(image));
        if (!item)
            continue;
        ++counts.added;
        if (parentItem)
            deriveImages(tree, item);
        else
            tree.setImages(item, {}, images::imageKey(images::Root));
    }
    // Every item added ends at a bar of its own, so no more items are added than there are records.
    counts.dropped = delimiters.records - counts.added;
    return counts;
}

} // namespace kobin::treestring
