#pragma once

#include "GeneratedBook.h"

// The book the search figures are taken on: 10,000 items, 10,000 notes and side
// texts (about 20 MB of RTF) and 2,000 saved pages (about 100 MB of HTML).
inline GeneratedBook::Shape largeSearchBookShape()
{
    GeneratedBook::Shape shape;
    shape.items = 10'000;
    shape.homepageEvery = 5;
    shape.folderEvery = 20;
    shape.noteFragments = 170;
    shape.pageFragments = 7'800;
    return shape;
}
