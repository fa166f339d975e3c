#include "ListEditing.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <vector>

namespace kobin {
namespace {

constexpr int kMaxListIndent = 9; // the levels RTF's lists have

std::vector<QTextBlock> selectedBlocks(const QTextCursor &cursor)
{
    std::vector<QTextBlock> blocks;
    const QTextBlock last = cursor.document()->findBlock(cursor.selectionEnd());
    for (QTextBlock block = cursor.document()->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        blocks.push_back(block);
        if (block == last)
            break;
    }
    return blocks;
}

// QTextList::remove keeps the list's indent in the paragraph; it goes with the list.
void removeFromList(const QTextBlock &block)
{
    block.textList()->remove(block);
    QTextCursor cursor(block);
    QTextBlockFormat format = cursor.blockFormat();
    format.setIndent(0);
    cursor.setBlockFormat(format);
}

// The list of the given indent that the item before block, at that level or deeper, is in.
QTextList *listBefore(const QTextBlock &block, int indent)
{
    for (QTextBlock before = block.previous(); before.isValid(); before = before.previous()) {
        const QTextList *list = before.textList();
        if (!list || list->format().indent() < indent)
            return nullptr;
        if (list->format().indent() == indent)
            return before.textList();
    }
    return nullptr;
}

} // namespace

void toggleList(QTextCursor cursor, QTextListFormat::Style style)
{
    const std::vector<QTextBlock> blocks = selectedBlocks(cursor);
    bool allOfStyle = true;
    for (const QTextBlock &block : blocks)
        allOfStyle = allOfStyle && block.textList() && block.textList()->format().style() == style;
    cursor.beginEditBlock();
    if (allOfStyle) {
        for (const QTextBlock &block : blocks)
            removeFromList(block);
    } else {
        QTextList *list = nullptr; // the one paragraphs after it join
        for (const QTextBlock &block : blocks) {
            if (QTextList *own = block.textList()) {
                QTextListFormat format = own->format();
                format.setStyle(style);
                own->setFormat(format);
                list = own;
            } else if (list) {
                list->add(block);
            } else {
                QTextListFormat format;
                format.setStyle(style);
                list = QTextCursor(block).createList(format);
            }
        }
    }
    cursor.endEditBlock();
}

bool changeListLevel(QTextCursor cursor, int step)
{
    if (!cursor.block().textList())
        return false;
    cursor.beginEditBlock();
    for (const QTextBlock &block : selectedBlocks(cursor)) {
        const QTextList *list = block.textList();
        if (!list)
            continue;
        QTextListFormat format = list->format();
        const int indent = format.indent() + step;
        if (indent > kMaxListIndent)
            continue;
        if (indent < 1) {
            removeFromList(block);
            continue;
        }
        removeFromList(block);
        if (QTextList *before = listBefore(block, indent)) {
            before->add(block);
        } else {
            format.setIndent(indent);
            QTextCursor(block).createList(format);
        }
    }
    cursor.endEditBlock();
    return true;
}

} // namespace kobin
