#pragma once

#include "BookFile.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kobin {

// What a command of kobin-cli prints and the status it ends with.
struct CommandOutcome {
    int status = 0;
    QString out;
    QString err; // each message ends in a line break
};

// The message for a book file that could not be read as a book; nullopt when it was.
std::optional<QString> bookReadingError(const BookReading &reading, const QString &path);

// kobin-cli check BOOK.iis: the problems found, one per line, then a summary;
// status 0 when the book is clean, 1 when problems were found or it cannot be read.
CommandOutcome checkBookCommand(const QStringList &args);

// kobin-cli export BOOK.iis FOLDER: the book as a static web site in FOLDER, which
// must be missing or empty; status 1 when it cannot be written (nothing is left).
CommandOutcome exportBookCommand(const QStringList &args);

} // namespace kobin
