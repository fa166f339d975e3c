#include "TreeString.h"

#include "ImageKeys.h"
#include "ItemTree.h"

#include <algorithm>
#include <vector>

namespace kobin::treestring {

namespace {

// Positions (from 1) of one delimiter in the tree string, so that every search of
// the reader is a binary search: damaged or hostile strings cannot make it slow.
class Delimiters
{
public:
    Delimiters(QStringView text, QChar delimiter)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == delimiter)
                m_positions.push_back(i + 1);
        }
    }

    // The first position after x, or 0 when there is none.
    qsizetype after(qsizetype x) const { return atOrAfter(x + 1); }

    qsizetype atOrAfter(qsizetype x) const
    {
        auto it = std::lower_bound(m_positions.begin(), m_positions.end(), x);
        return it == m_positions.end() ? 0 : *it;
    }

private:
    std::vector<qsizetype> m_positions;
};

// The characters from position first up to (not including) position end, both from 1;
// empty when the field cannot be cut.
QStringView field(QStringView text, qsizetype first, qsizetype end)
{
    if (first < 1 || end < first)
        return {};
    return text.mid(first - 1, end - first);
}

void addDerivedImages(ItemTree &tree, TreeItem *item)
{
    const QString &image = item->image();
    if (image == images::RichText)
        tree.setImages(item, QString::fromUtf16(images::SelectedRichText), {});
    else if (image == images::HtmlFile)
        tree.setImages(item, QString::fromUtf16(images::SelectedHtmlFile), {});
    else if (image == images::FolderClosed)
        tree.setImages(item, QString::fromUtf16(images::FolderOpen), QString::fromUtf16(images::FolderOpen));
}

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

QString fromTree(const ItemTree &tree)
{
    QString treeString = QStringLiteral("|");
    for (const TreeItem *top : tree.topLevelItems()) {
        appendRecord(QStringLiteral("0"), top, treeString);
        appendChildRecords(top, treeString);
    }
    return treeString;
}

int buildTree(ItemTree &tree, QStringView s)
{
    const Delimiters bars(s, u'|');
    const Delimiters backslashes(s, u'\\');
    const Delimiters equals(s, u'=');
    const Delimiters pluses(s, u'+');

    // Captions of a well-formed string are disjoint parts of it; this budget only
    // binds for hostile strings whose records overlap.
    qsizetype captionBudget = 4 * s.size() + 65536;
    const QString topLevelParent = QStringLiteral("0");

    int added = 0;
    qsizetype b = 0, k = 0, e = 0, q = 0;
    for (;;) {
        b = bars.after(b);
        k = backslashes.after(k);
        e = equals.after(e);
        q = pluses.after(e);
        if (k == 0)
            break;

        const QStringView parent = field(s, b + 1, k);
        const QStringView key = e > 0 ? field(s, e + 1, pluses.atOrAfter(e)) : QStringView();
        const QStringView image = q > 0 ? field(s, q + 1, bars.atOrAfter(q)) : QStringView();
        const qsizetype captionEnd = equals.atOrAfter(k);
        // Reject fields that cannot name an item before copying anything.
        if (key.isEmpty() || keyNumber(key) == 0 || image.size() > images::kLongestImageKey
            || !images::isImageKey(image) || captionEnd == 0 || parent.size() > 11)
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

        QStringView caption = field(s, k + 1, captionEnd);
        caption = caption.first(std::min<qsizetype>({caption.size(), kMaxCaptionLength, captionBudget}));
        captionBudget -= caption.size();

        TreeItem *item = tree.add(parentItem, parentItem ? Relationship::Child : Relationship::Last, keyText,
                                  caption.toString(), image.toString());
        if (!item)
            continue;
        ++added;
        if (parentItem)
            addDerivedImages(tree, item);
        else
            tree.setImages(item, {}, QString::fromUtf16(images::Root));
    }
    return added;
}

} // namespace kobin::treestring
