#include "TreeString.h"

#include <QHash>

#include "ImageKeys.h"
#include "ItemTree.h"
#include "KeyNumbers.h"

#include <algorithm>
#include <optional>
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

// Goes through a tree string's records as the reader's cursors find them.
class RecordReader
{
public:
    explicit RecordReader(QStringView s) : m_s(s), m_delimiters(s) {}
    RecordReader(const RecordReader &) = delete;
    RecordReader &operator=(const RecordReader &) = delete;

    const RecordDelimiters &delimiters() const { return m_delimiters; }

    // The next record whose fields can name an item (its key and parent may still
    // be unknown to the tree); nullopt after the last.
    std::optional<Records::Fields> next()
    {
        for (;;) {
            m_b = m_nextBar.after(m_b);
            m_k = m_nextBackslash.after(m_k);
            m_e = m_nextEquals.after(m_e);
            m_q = m_nextPlus.after(m_e);
            if (m_k == 0)
                return std::nullopt;

            const QStringView parent = field(m_s, m_b + 1, m_k);
            const QStringView key = m_e > 0 ? field(m_s, m_e + 1, m_keyEnd.atOrAfter(m_e)) : QStringView();
            const QStringView image = m_q > 0 ? field(m_s, m_q + 1, m_imageEnd.atOrAfter(m_q)) : QStringView();
            // A caption must end at its own record's "=": one running on to another
            // record's would overlap other captions, and reading them could take time
            // growing with the square of the string's length.
            const bool captionEndsAtItsEquals = m_captionEnd.atOrAfter(m_k) == m_e;
            // Only views so far: a rejected record costs no copy.
            if (key.isEmpty() || keyNumber(key) == 0 || image.size() > images::kLongestImageKey
                || !images::isImageKey(image) || !captionEndsAtItsEquals || parent.size() > 11)
                continue;
            return Records::Fields{parent, field(m_s, m_k + 1, m_e), key, image};
        }
    }

private:
    QStringView m_s;
    RecordDelimiters m_delimiters;
    // One search per cursor and per field end, each moving forward on its own.
    DelimiterSearch m_nextBar{m_delimiters.bars}, m_nextBackslash{m_delimiters.backslashes},
        m_nextEquals{m_delimiters.equals}, m_nextPlus{m_delimiters.pluses}, m_captionEnd{m_delimiters.equals},
        m_keyEnd{m_delimiters.pluses}, m_imageEnd{m_delimiters.bars};
    qsizetype m_b = 0, m_k = 0, m_e = 0, m_q = 0;
};

bool isTopLevel(QStringView parent)
{
    return parent == QStringView(u"0");
}

} // namespace

namespace {
QChar storableCharacter(QChar ch)
{
    switch (ch.unicode()) {
    case u'|': return QChar(0xFF5C);
    case u'\\': return QChar(0xFF3C);
    case u'=': return QChar(0xFF1D);
    case u'+': return QChar(0xFF0B);
    default: return ch;
    }
}
} // namespace

QString storableCaption(QStringView caption)
{
    QString stored = caption.toString();
    std::transform(stored.begin(), stored.end(), stored.begin(), storableCharacter);
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
// Appends parent key "\" caption "=" key "+" image key "|", the caption as
// storableCaption gives it, in one go: a large book has many records.
void appendRecord(const QString &parentKey, const TreeItem *item, QString &out)
{
    const QString &caption = item->text();
    const QString &key = item->key();
    const QString &image = item->image();
    const qsizetype start = out.size();
    out.resize(start + parentKey.size() + caption.size() + key.size() + image.size() + 4);
    QChar *at = out.data() + start;
    at = std::copy(parentKey.begin(), parentKey.end(), at);
    *at++ = u'\\';
    at = std::transform(caption.begin(), caption.end(), at, storableCharacter);
    *at++ = u'=';
    at = std::copy(key.begin(), key.end(), at);
    *at++ = u'+';
    at = std::copy(image.begin(), image.end(), at);
    *at = u'|';
}

// Calls record(parent key, item) for every descendant of item, in pre-order.
template <typename Record>
void forEachDescendant(const TreeItem *item, Record record)
{
    // Without recursion: a book may be as deep as it is long.
    std::vector<std::pair<const TreeItem *, const TreeItem *>> pending; // parent, child
    const auto pushChildren = [&pending](const TreeItem *parent) {
        for (auto child = parent->children().rbegin(); child != parent->children().rend(); ++child)
            pending.emplace_back(parent, *child);
    };
    pushChildren(item);
    while (!pending.empty()) {
        const auto [parent, current] = pending.back();
        pending.pop_back();
        record(parent->key(), current);
        pushChildren(current);
    }
}

// Calls record(parent key, item) for every item of the tree in the tree string's order.
template <typename Record>
void forEachItem(const ItemTree &tree, Record record)
{
    for (const TreeItem *top : tree.topLevelItems()) {
        record(QStringLiteral("0"), top);
        forEachDescendant(top, record);
    }
}
} // namespace

void appendChildRecords(const TreeItem *item, QString &treeString)
{
    forEachDescendant(item, [&](const QString &parentKey, const TreeItem *child) {
        appendRecord(parentKey, child, treeString);
    });
}

void appendItemRecords(const TreeItem *item, QString &treeString)
{
    appendRecord(item->parent() ? item->parent()->key() : QStringLiteral("0"), item, treeString);
    appendChildRecords(item, treeString);
}

QString fromTree(const ItemTree &tree)
{
    QString treeString = QStringLiteral("|");
    // About as long as a book's records are: a large book's string grows without copies.
    treeString.reserve(qsizetype(tree.count()) * 32);
    forEachItem(tree, [&](const QString &parentKey, const TreeItem *item) { appendRecord(parentKey, item, treeString); });
    return treeString;
}

bool forEachRecord(const ItemTree &tree, const std::function<bool(QStringView records)> &take)
{
    constexpr qsizetype kPiece = 64 * 1024;
    QString records; // one buffer for all: resizing it to nothing keeps its room
    records.reserve(kPiece + treestring::kMaxCaptionLength);
    bool taken = true;
    forEachItem(tree, [&](const QString &parentKey, const TreeItem *item) {
        if (!taken)
            return;
        appendRecord(parentKey, item, records);
        if (records.size() >= kPiece) {
            taken = take(records);
            records.resize(0);
        }
    });
    return taken && (records.isEmpty() || take(records));
}

Records::Records(QStringView s)
{
    RecordReader reader(s);
    m_namingItems.reserve(std::min<size_t>(reader.delimiters().backslashes.size(), 1u << 24));
    while (const std::optional<Fields> record = reader.next())
        m_namingItems.push_back(*record);
    m_parts = reader.delimiters().records;
}

bool Records::givesAnItem() const
{
    // Into an empty tree, the first top-level record that can name an item adds one.
    return std::any_of(m_namingItems.begin(), m_namingItems.end(),
                       [](const Fields &record) { return isTopLevel(record.parent); });
}

int Records::deepestLevel(int limit) const
{
    // Levels by key number, as the records would add their items; a key seen twice keeps its first level.
    QHash<int, int> levels;
    levels.reserve(static_cast<qsizetype>(m_namingItems.size()));
    int deepest = 0;
    for (const Fields &record : m_namingItems) {
        int level = 1;
        if (!isTopLevel(record.parent)) {
            const auto parent = levels.constFind(keyNumber(record.parent));
            if (parent == levels.cend())
                continue;
            level = parent.value() + 1;
        }
        const int key = keyNumber(record.key);
        if (levels.contains(key))
            continue;
        levels.insert(key, level);
        deepest = std::max(deepest, level);
        if (deepest > limit)
            break;
    }
    return deepest;
}

RecordCounts buildTree(ItemTree &tree, const Records &records)
{
    tree.reserve(tree.count() + static_cast<int>(records.m_namingItems.size()));
    RecordCounts counts;
    for (const Records::Fields &record : records.m_namingItems) {
        TreeItem *parentItem = nullptr;
        if (!isTopLevel(record.parent)) {
            parentItem = tree.item(record.parent);
            if (!parentItem)
                continue;
        }
        // A key used already adds nothing.
        TreeItem *item = tree.add(parentItem, parentItem ? Relationship::Child : Relationship::Last,
                                  record.key.toString(), record.caption.toString(), images::imageKey(record.image));
        if (!item)
            continue;
        ++counts.added;
        if (parentItem)
            deriveImages(tree, item);
        else
            tree.setImages(item, {}, images::imageKey(images::Root));
    }
    // Every item added ends at a bar of its own, so no more items are added than there are records.
    counts.dropped = records.m_parts - counts.added;
    return counts;
}

RecordCounts buildTree(ItemTree &tree, QStringView s)
{
    return buildTree(tree, Records(s));
}

int deepestLevel(QStringView s, int limit)
{
    return Records(s).deepestLevel(limit);
}

bool givesAnItem(QStringView s)
{
    return Records(s).givesAnItem();
}

} // namespace kobin::treestring
