#include "BookFileWatch.h"

#include "Book.h"

#include <QFileInfo>

namespace kobin {

namespace {
// Long enough for a sync tool to write its file and rename it into place.
constexpr int kSettleMilliseconds = 500;
} // namespace

BookFileWatch::BookFileWatch(const Book &book, QObject *parent) : QObject(parent), m_book(book)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        watchFile();
        emit touched();
    });
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &BookFileWatch::changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &BookFileWatch::changed);
    // Opening or starting a book replaces it; saving it under another name changes the caption.
    connect(&book, &Book::captionChanged, this, &BookFileWatch::follow);
    connect(&book, &Book::replaced, this, &BookFileWatch::follow);
    follow();
}

void BookFileWatch::follow()
{
    const QString path = m_book.bookPath();
    if (path == m_path)
        return;
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    m_settle.stop();
    m_path = path;
    if (m_path.isEmpty())
        return;
    m_watcher.addPath(QFileInfo(m_path).absolutePath());
    watchFile();
}

void BookFileWatch::watchFile()
{
    if (!m_path.isEmpty() && !m_watcher.files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
}

void BookFileWatch::changed()
{
    watchFile();
    m_settle.start();
}

} // namespace kobin
