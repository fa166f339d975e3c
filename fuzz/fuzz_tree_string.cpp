// libFuzzer target: any book file's bytes must build a tree without a crash or
// a hang, and the tree string written from that tree must build the same tree.
#include "Cp932.h"
#include "ItemTree.h"
#include "TreeString.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString treeString =
        kobin::decodeSystemText(QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    kobin::ItemTree tree;
    kobin::treestring::buildTree(tree, treeString);
    const QString written = kobin::treestring::fromTree(tree);
    kobin::ItemTree copy;
    kobin::treestring::buildTree(copy, written);
    if (kobin::treestring::fromTree(copy) != written)
        std::abort();
    return 0;
}
