#include "AppPath.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kobin"));
    QLabel window(QStringLiteral("Kobin — ") + kobin::resolveAppPath());
    window.setWindowTitle(QStringLiteral("Kobin"));
    window.resize(640, 400);
    window.show();
    if (qEnvironmentVariable("KOBIN_SMOKE") == QLatin1String("1"))
        return 0;
    return app.exec();
}
