#include "ProgramPlugins.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QPluginLoader>

// Qt's own, exported for the web engine, which sets them when it is initialised
// after the application is made.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();

namespace kobin {

namespace {

QOpenGLContext *ownShareContext = nullptr;

void deleteShareContext()
{
    if (qt_gl_global_share_context() == ownShareContext)
        qt_gl_set_global_share_context(nullptr);
    delete ownShareContext;
    ownShareContext = nullptr;
}

// The web engine shares its OpenGL contexts with the program's. The context they
// share is made here, when the engine is first needed, and not with the
// application: made at start-up it would load the OpenGL driver (tens of MB, and
// most of the start-up time on a software-rendered display) into every start.
void shareOpenGLContexts()
{
    if (qt_gl_global_share_context() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    ownShareContext = new QOpenGLContext;
    ownShareContext->setFormat(QSurfaceFormat::defaultFormat());
    ownShareContext->create();
    qt_gl_set_global_share_context(ownShareContext);
    qAddPostRoutine(deleteShareContext);
}

} // namespace

QObject *loadProgramPlugin(const QString &fileName, QString *failure)
{
    shareOpenGLContexts();
    const QString programFolder = QCoreApplication::applicationDirPath() + u'/';
    // Set for programs that do not lie beside the plugins, such as tests in the build tree.
    const QString chosenFolder = qEnvironmentVariable("KOBIN_PLUGIN_DIR");
    QString plugin = (chosenFolder.isEmpty() ? programFolder : chosenFolder + u'/') + fileName;
    if (!QFileInfo::exists(plugin))
        plugin = QDir::cleanPath(programFolder + QStringLiteral(KOBIN_PLUGIN_FROM_PROGRAM "/") + fileName);
    QPluginLoader loader(plugin);
    QObject *root = loader.instance();
    if (!root)
        *failure = QStringLiteral("「 ") + plugin + QStringLiteral(" 」を読み込めません。") + loader.errorString();
    return root;
}

} // namespace kobin
