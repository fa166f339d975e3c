#pragma once

#include <QString>

namespace kobin {

class ItemTree;
class WorkingFolder;

// Content files that Windows tools wrote with other capitals ("A5url.txt",
// "a5Index.rtf"), which Windows never told apart, take the names Kobin looks for:
// a missing file present under other capitals is copied to its own name in the
// working folder and the other name is set aside, so that the next save leaves
// the book folder with the one name.

// The notes and url files of every item of the tree. Returns how many were taken over.
int adoptCaseVariants(WorkingFolder &working, const ItemTree &tree);

// The side text and splitter files of one page (its content id).
int adoptCaseVariantsOf(WorkingFolder &working, const QString &contentId);

} // namespace kobin
