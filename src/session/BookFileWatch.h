#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace kobin {

class Book;

// Watches the open book's file for changes another program makes, following the
// book as another is opened or it is saved under another name. A sync tool
// replaces a file by renaming another over it, which ends the watch of that path:
// the folder is watched as well, and the file again whenever it is back. Bursts of
// changes are told once, after they settle; whether the file really changed is
// for the receiver to find out (the program's own saves change the folder too).
class BookFileWatch : public QObject
{
    Q_OBJECT

public:
    explicit BookFileWatch(const Book &book, QObject *parent = nullptr);

    // Tells touched() again once another settling time has passed: for a receiver
    // that cannot act now (a dialog is open over a book that must not be replaced).
    void touchAgainLater() { m_settle.start(); }

signals:
    void touched();

private:
    void follow();
    void watchFile();
    void changed();

    const Book &m_book;
    QString m_path; // the book file watched; "" for none
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};

} // namespace kobin
