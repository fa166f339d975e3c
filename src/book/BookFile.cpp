#include "BookFile.h"

#include "AtomicFile.h"
#include "BoundedFile.h"
#include "Cp932.h"
#include "ItemTree.h"
#include "TreeString.h"

#include <QFile>
#include <algorithm>

namespace kobin {

namespace {

// Far beyond any real book (100,000 items take a few megabytes).
constexpr qint64 kLargestBookFile = qint64(512) * 1024 * 1024;

// Line breaks end the tree string and a caption may hold a tab; any other
// control character is binary data.
bool holdsControlCharacters(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar ch) {
        return ch.unicode() < 0x20 && ch != u'\r' && ch != u'\n' && ch != u'\t';
    });
}

} // namespace

QString bookNameFromPath(const QString &path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString name = path.mid(slash + 1);
    return name.left(name.indexOf(u'.') < 0 ? name.size() : name.indexOf(u'.'));
}

QString tooDeepMessage(const QString &path)
{
    return QStringLiteral("「 ") + path + QStringLiteral(" 」\n\nは項目の階層が %1 より深いため開けません。")
        .arg(treestring::kDeepestLevel);
}

BookReading loadBookFile(const QString &path, ItemTree &tree)
{
    const std::optional<QByteArray> bytes = readRegularFile(path, kLargestBookFile);
    if (!bytes)
        return {BookReading::Outcome::Unreadable};
    const std::optional<QString> treeString = decodeSystemTextExactly(*bytes);
    if (!treeString || holdsControlCharacters(*treeString))
        return {BookReading::Outcome::NotABook};
    const treestring::Records records(*treeString);
    if (!records.givesAnItem())
        return {BookReading::Outcome::NotABook};
    if (records.deepestLevel() > treestring::kDeepestLevel)
        return {BookReading::Outcome::TooDeep};
    tree.clear();
    return {BookReading::Outcome::Read, treestring::buildTree(tree, records).dropped};
}

QByteArray bookFileBytes(const ItemTree &tree)
{
    QByteArray bytes("|");
    // About as long as a book's records are: a large book's bytes grow without copies.
    bytes.reserve(qsizetype(tree.count()) * 48);
    // Each record ends in "|", no lead byte, so encoding them one by one gives the
    // bytes encoding the whole string would.
    if (treestring::forEachRecord(tree, [&](QStringView records) { return cp932::appendFolded(records, bytes); })) {
        bytes += "\r\n";
        return bytes;
    }
    bytes = encodeSystemText(treestring::fromTree(tree)); // what code page 932 cannot hold goes as UTF-8
    bytes += "\r\n";
    return bytes;
}

const QByteArray &BookFileBytes::bytes()
{
    if (m_revision != m_tree.revision()) {
        m_bytes = bookFileBytes(m_tree);
        m_revision = m_tree.revision();
    }
    return m_bytes;
}

bool writeBookFile(const QString &path, const ItemTree &tree)
{
    return saveFileAtomically(path, bookFileBytes(tree));
}

bool writeBookFile(const QString &path, const QString &treeString)
{
    QByteArray bytes = encodeSystemText(treeString);
    bytes += "\r\n"; // appended in place: a large book's bytes are not copied again
    return saveFileAtomically(path, bytes);
}

} // namespace kobin
