#include "EngineSwitches.h"

#include <QByteArray>
#include <QtGlobal>

namespace kobin {

void applyEngineSwitches()
{
    const QByteArray webRtcOverTcpOnly = QByteArrayLiteral("--force-webrtc-ip-handling-policy=disable_non_proxied_udp");
    QByteArray switches = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (switches.contains(webRtcOverTcpOnly))
        return;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", switches.isEmpty() ? webRtcOverTcpOnly : switches + ' ' + webRtcOverTcpOnly);
}

} // namespace kobin
