#include "SourceId.h"

namespace kobin::search {

QString SourceId::toString() const
{
    switch (place) {
    case Place::Caption: return QStringLiteral("caption:") + name;
    case Place::Note: return QStringLiteral("note:") + name;
    case Place::SideText: return QStringLiteral("side:") + name;
    case Place::Page: return QStringLiteral("page:") + name + u'\n' + path;
    }
    return {};
}

} // namespace kobin::search
