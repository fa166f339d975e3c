#pragma once

namespace kobin {

// What an item is. Its image key is the only record of it in a book.
enum class ItemKind { Book, Folder, Text, Homepage };

} // namespace kobin
