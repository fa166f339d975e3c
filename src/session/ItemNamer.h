#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace kobin {

// Asks the name of an item just added (the item name dialog).
class ItemNamer
{
public:
    virtual ~ItemNamer() = default;
    // typed hears the name at every keystroke, as the tree shows it; acceptable
    // decides whether OK may close (it tells the user why not). The name, or
    // nullopt when the user cancels.
    virtual std::optional<QString> askName(const std::function<void(const QString &)> &typed,
                                           const std::function<bool(const QString &)> &acceptable) = 0;
};

} // namespace kobin
