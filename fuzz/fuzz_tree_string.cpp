// libFuzzer target: any book file's bytes must build a tree and its outline
// without a crash or a hang, the tree string written from that tree must build
// the same tree, and a book read as code page 932 must be written back in code
// page 932 and read back the same.
#include "BookOutline.h"
#include "Cp932.h"
#include "ItemTree.h"
#include "TreeString.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString treeString = kobin::decodeSystemText(bytes);
    if (!bytes.startsWith("\xEF\xBB\xBF")) {
        const QByteArray again = kobin::encodeSystemText(treeString);
        if (again.startsWith("\xEF\xBB\xBF") || kobin::decodeSystemText(again) != treeString)
            std::abort();
    }
    kobin::ItemTree tree;
    kobin::treestring::buildTree(tree, treeString);
    const QString written = kobin::treestring::fromTree(tree);
    kobin::ItemTree copy;
    kobin::treestring::buildTree(copy, written);
    if (kobin::treestring::fromTree(copy) != written)
        std::abort();
    // What kobin-cli tree prints of it.
    if (kobin::bookOutline(tree).isEmpty() != tree.topLevelItems().empty())
        std::abort();
    return 0;
}
