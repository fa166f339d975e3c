#pragma once

#include "ImportItem.h"

namespace kobin::import {

// Hands a sink the items of a document read in order, each with its depth (0
// at the top): the folders an item leaves are closed before it, and those
// still open at the end.
class DepthOrder
{
public:
    explicit DepthOrder(ImportSink &sink) : m_sink(sink) {}

    // False when the sink stopped the import.
    bool put(ImportItem &item, int depth);
    bool finish() { return closeTo(0); }

private:
    bool closeTo(int depth);

    ImportSink &m_sink;
    int m_open = 0;
};

} // namespace kobin::import
