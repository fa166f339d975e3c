#include "KeyNumbers.h"

#include <limits>

namespace kobin {

int keyNumber(QStringView key)
{
    if (key.size() < 2 || key.size() > 11 || key[0] != u'a' || key[1] == u'0')
        return 0;
    qint64 number = 0;
    for (qsizetype i = 1; i < key.size(); ++i) {
        const char16_t ch = key[i].unicode();
        if (ch < u'0' || ch > u'9')
            return 0;
        number = number * 10 + (ch - u'0');
    }
    return number <= std::numeric_limits<int>::max() ? static_cast<int>(number) : 0;
}

QString keyForNumber(int number)
{
    return QStringLiteral("a") + QString::number(number);
}

bool KeyNumberSet::contains(int number) const
{
    auto it = m_runs.upper_bound(number);
    if (it == m_runs.begin())
        return false;
    --it;
    return number <= it->second;
}

void KeyNumberSet::insert(int number)
{
    if (contains(number))
        return;
    auto next = m_runs.upper_bound(number);
    const bool joinsNext = next != m_runs.end() && next->first == number + 1;
    if (next != m_runs.begin()) {
        auto previous = std::prev(next);
        if (previous->second == number - 1) {
            previous->second = joinsNext ? next->second : number;
            if (joinsNext)
                m_runs.erase(next);
            return;
        }
    }
    if (joinsNext) {
        const int last = next->second;
        m_runs.erase(next);
        m_runs.emplace(number, last);
    } else {
        m_runs.emplace(number, number);
    }
}

void KeyNumberSet::erase(int number)
{
    auto it = m_runs.upper_bound(number);
    if (it == m_runs.begin())
        return;
    --it;
    const int first = it->first;
    const int last = it->second;
    if (number > last)
        return;
    m_runs.erase(it);
    if (first < number)
        m_runs.emplace(first, number - 1);
    if (number < last)
        m_runs.emplace(number + 1, last);
}

int KeyNumberSet::smallestFree() const
{
    if (m_runs.empty() || m_runs.begin()->first > 1)
        return 1;
    const int last = m_runs.begin()->second;
    return last < std::numeric_limits<int>::max() ? last + 1 : 0;
}

} // namespace kobin
