#pragma once

#include "ImportItem.h"

#include <QString>
#include <QStringList>

namespace kobin::import {

// Walks a collection whose folders list their items by id (ScrapBook X's
// sequences, WebScrapBook's table of contents) and hands each item to the sink
// in order. No recursion, and each id at most once: a folder that lists itself
// or an ancestor, or an item listed twice, is taken the first time only.
class CollectionWalk
{
public:
    struct Entry {
        ImportItem item;
        QString folder;  // a folder's id in the lists of items
        bool skip = false; // left out without a word (a separator)
        QString refusal;   // left out, and why
    };

    explicit CollectionWalk(ImportSink &sink) : m_sink(sink) {}
    virtual ~CollectionWalk() = default;

    // From the root folder's items; false when the sink stopped it.
    bool run(const QString &root);

protected:
    virtual QStringList childrenOf(const QString &folder) = 0;
    virtual Entry entryOf(const QString &id) = 0;

private:
    ImportSink &m_sink;
};

} // namespace kobin::import
