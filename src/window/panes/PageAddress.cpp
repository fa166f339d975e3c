#include "PageAddress.h"

namespace kobin::pagesafety {

bool isOpenableAddress(const QUrl &url)
{
    const QString scheme = url.scheme();
    return url.isValid()
        && (scheme == QLatin1String("file") || scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace kobin::pagesafety
