#pragma once

#include "SearchText.h"

#include <QString>
#include <vector>

namespace kobin {

// The results pane of the search in the whole book, as the search sees it: the
// words to find, whether hiragana and katakana count as the same, one row per
// result and a footer under them.
class SearchResults
{
public:
    struct Row {
        QString path;    // the item's place in the tree
        QString place;   // where in the item the words were found
        QString snippet; // the text around the first match
        std::vector<search::TextRange> marks; // within snippet
    };

    virtual ~SearchResults() = default;
    virtual QString query() const = 0;
    virtual search::KanaMatching kana() const = 0;
    // Shows the pane with the focus in its query.
    virtual void open() = 0;
    // Results follow the index only while the pane is open.
    virtual bool isOpen() const = 0;
    virtual void showRows(const std::vector<Row> &rows) = 0;
    virtual void setFooter(const QString &footer) = 0;
};

} // namespace kobin
