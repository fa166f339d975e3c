#include "BrowserSandbox.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace kobin {

void keepBrowserFromEndingTheProgram()
{
#ifdef Q_OS_UNIX
    if (geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", QByteArrayLiteral("1"));
    std::fputs("kobin: running as root: the web page pane runs without its sandbox\n", stderr);
#endif
}

} // namespace kobin
