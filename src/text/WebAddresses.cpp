#include "WebAddresses.h"

#include <QUrl>

namespace kobin {

bool isWebAddress(QStringView address)
{
    const QUrl url(address.trimmed().toString(), QUrl::StrictMode);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http" || scheme == u"https")
        return !url.host().isEmpty();
    return scheme == u"mailto" && !url.path().isEmpty();
}

} // namespace kobin
