#include "Book.h"

#include "ImageKeys.h"

#include <utility>

namespace kobin {

namespace {
const QString kCaptionPrefix = QStringLiteral("BOOK - ");
const QString kChangedMark = QStringLiteral(" （更新）");
} // namespace

const QString Book::BookItemKey = QStringLiteral("a1");
const QString Book::NewBookName = QStringLiteral("新規ブック");

Book::Book(const QString &appPath, const QString &versionsFolder)
    : m_appPath(appPath), m_versionsFolder(versionsFolder),
      m_workingFolder(workingFolderPath(appPath))
{
}

Book::~Book() = default;

QString Book::caption() const
{
    return m_changed ? m_title + kChangedMark : m_title;
}

void Book::setTitle(const QString &title, bool changed)
{
    const QString before = caption();
    const bool wasChanged = std::exchange(m_changed, changed);
    m_title = title;
    if (caption() != before)
        emit captionChanged(caption());
    if (changed != wasChanged)
        emit changedStateChanged(changed);
}

void Book::setBookFile(const QString &path, const QString &name)
{
    m_bookPath = path;
    m_bookName = name;
}

void Book::markChanged()
{
    if (!m_changed)
        setTitle(m_title, true);
}

void Book::forgetStamps()
{
    m_bookFileStamp = FileStamp();
    m_workingFolder.bookFolderStamps().forget();
}

void Book::setOpened(const QString &path)
{
    m_newCaptures.removeAll();
    forgetStamps();
    setTitle(kCaptionPrefix + path, false);
    emit replaced();
}

void Book::setSaved()
{
    if (m_bookPath == m_damagedBookFile)
        m_damagedBookFile.clear(); // the file no longer holds what was read
    setTitle(kCaptionPrefix + m_bookPath, false);
}

void Book::startNew(bool changed)
{
    setBookFile(QString(), QString());
    m_shown.showNote(BookItemKey);
    m_damagedBookFile.clear();
    m_newCaptures.removeAll();
    forgetStamps();
    m_tree.clear();
    m_tree.select(m_tree.add(nullptr, Relationship::Last, BookItemKey, NewBookName, QString::fromUtf16(images::Root)));
    setTitle(kCaptionPrefix + NewBookName, changed);
    emit replaced();
}

} // namespace kobin
