#pragma once

#include "SearchText.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kobin::search {

// The text around a hit's first match, on one line, "…" where it is cut, and
// every match of the words within it.
struct Snippet {
    QString text;
    std::vector<TextRange> marks;
};

Snippet snippetAround(const QString &original, TextRange first, const QStringList &words, KanaMatching kana);

} // namespace kobin::search
