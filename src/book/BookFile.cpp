#include "BookFile.h"

#include "AtomicFile.h"
#include "BookSession.h"
#include "Cp932.h"
#include "ItemTree.h"
#include "Prompter.h"
#include "TreeString.h"

#include <QFile>

namespace kobin {

namespace {
// Far beyond any real book (100,000 items take a few megabytes).
constexpr qint64 kLargestBookFile = qint64(512) * 1024 * 1024;
}

QString bookNameFromPath(const QString &path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString name = path.mid(slash + 1);
    return name.left(name.indexOf(u'.') < 0 ? name.size() : name.indexOf(u'.'));
}

std::optional<QString> loadTreeString(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestBookFile)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decodeSystemText(bytes);
}

bool writeBookFile(const QString &path, const QString &treeString)
{
    return saveFileAtomically(path, encodeSystemText(treeString) + "\r\n");
}

bool readBookFile(const QString &path, ItemTree &tree, Prompter &prompter)
{
    const std::optional<QString> treeString = loadTreeString(path);
    if (!treeString) {
        prompter.inform(PromptIcon::Exclamation, QStringLiteral("ﾌｧｲﾙを開けません"),
                        QStringLiteral("「 ") + path + QStringLiteral(" 」\n\nを開けません。"));
        return false;
    }
    tree.clear();
    treestring::buildTree(tree, *treeString);
    return true;
}

} // namespace kobin
