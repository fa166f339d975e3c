#pragma once

#include <QString>
#include <QStringView>
#include <map>

namespace kobin {

// The number of an item key: "a" followed by a positive decimal number without
// sign, spaces or leading zeros that fits a 32-bit signed integer; 0 for any
// other text. Only such keys may name items, so that a key can never name a
// file outside the book's folders.
int keyNumber(QStringView key);

QString keyForNumber(int number);

// The set of key numbers in use, kept as runs of consecutive numbers so that the
// smallest free number is found at once however many items a book has.
class KeyNumberSet
{
public:
    void insert(int number);
    void erase(int number);
    void clear() { m_runs.clear(); }
    bool contains(int number) const;
    int smallestFree() const; // 0 when every number is taken

private:
    std::map<int, int> m_runs; // first number of a run -> last number of it
};

} // namespace kobin
