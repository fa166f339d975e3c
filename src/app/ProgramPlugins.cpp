#include "ProgramPlugins.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace kobin {

QObject *loadProgramPlugin(const QString &fileName, QString *failure)
{
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
