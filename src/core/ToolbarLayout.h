#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kobin {

// The toolbar's button order as the user arranged it: button keys, "-" for a
// separator. Kept as text under "tbar" in section "Settings".
namespace toolbarlayout {

inline const QString Separator = QStringLiteral("-");

// The layout built at start-up: every entry of the toolbar, in order.
QStringList defaultLayout();

QString toText(const QStringList &layout);

// The layout stored as text; nullopt when the text is not a layout (the toolbar
// then keeps the layout built at start-up). Unknown keys and repeated keys are dropped.
std::optional<QStringList> fromText(const QString &text);

} // namespace toolbarlayout
} // namespace kobin
