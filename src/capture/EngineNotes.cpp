#include "EngineNotes.h"

#include <QString>
#include <QtGlobal>

namespace kobin {

namespace {

QtMessageHandler g_next = nullptr;

bool isStartupNote(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        return false;
    // The engine's settings as it starts: a block of some twenty lines.
    if (qstrcmp(context.category, "qt.webenginecontext") == 0)
        return true;
    static const char *const notes[] = {
        "Sandboxing disabled by user.",
        "WebEngineContext used before QtWebEngineCore::initialize()",
        "No suitable graphics backend found",
    };
    for (const char *note : notes) {
        if (message.startsWith(QLatin1String(note)))
            return true;
    }
    return false;
}

void passOnAllButNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!isStartupNote(type, context, message))
        g_next(type, context, message);
}

} // namespace

void quietEngineStartupNotes()
{
    if (!g_next)
        g_next = qInstallMessageHandler(passOnAllButNotes);
}

} // namespace kobin
