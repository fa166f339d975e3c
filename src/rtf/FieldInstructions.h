#pragma once

#include <QString>
#include <QStringView>

namespace kobin::rtf {

// Where a HYPERLINK field's instruction points: its address, then "#" and the
// bookmark its \l switch names (alone, "#" and the bookmark); empty for any
// other field and for a link that names neither.
QString hyperlinkTarget(QStringView instruction);

} // namespace kobin::rtf
