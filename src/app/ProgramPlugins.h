#pragma once

#include <QString>

class QObject;

namespace kobin {

// Loads one of the program's own plugins (the web engine's parts, which the
// programs load only when they need them): from the folder KOBIN_PLUGIN_DIR names
// or beside the running program (the build tree), else from the program's library
// folder where it is installed.
// Its root object, which stays loaded; nullptr, saying why in *failure, when it
// cannot be loaded.
QObject *loadProgramPlugin(const QString &fileName, QString *failure);

} // namespace kobin
