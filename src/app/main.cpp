#include "AppFolderInstaller.h"
#include "AppPath.h"
#include "BrowserSandbox.h"
#include "KobinApp.h"
#include "MainWindow.h"
#include "MessageBoxPrompter.h"
#include "Settings.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

int main(int argc, char *argv[])
{
    kobin::keepBrowserFromEndingTheProgram();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kobin"));
    QApplication::setApplicationVersion(QStringLiteral(KOBIN_VERSION));

    // Dates and times in Japanese forms where the system names no language.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

    // Qt's own buttons and dialogs in Japanese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // The smoke mode of scripts and benchmarks: start as usual, then close at once.
    const bool smoke = qEnvironmentVariable("KOBIN_SMOKE") == QLatin1String("1");
    const QString appPath = kobin::resolveAppPath();
    // Without its folder the program has nowhere to keep an open book, nor its lock.
    const auto reportNoFolder = [&] {
        kobin::MessageBoxPrompter(nullptr, smoke)
            .inform(kobin::PromptIcon::Exclamation, QStringLiteral("ﾌｫﾙﾀﾞを作成できません"),
                    QStringLiteral("「 ") + QDir::toNativeSeparators(appPath) + QStringLiteral(" 」\n\nを作成できません。"));
        return 1;
    };
    const kobin::AppFolderInstaller installer(QStringLiteral(":/install"), appPath);
    const std::optional<bool> newFolder = installer.createFolder();
    if (!newFolder)
        return reportNoFolder();
    kobin::SingleInstance instance(kobin::SingleInstance::lockPathFor(appPath));
    if (!instance.isFirst()) {
        kobin::MessageBoxPrompter(nullptr, smoke).inform(kobin::PromptIcon::Exclamation, QStringLiteral("おしらせ"),
                                           QStringLiteral("ソフトはすでに起動しています。"));
        return 0;
    }
    installer.install(*newFolder);

    kobin::KobinApp kobinApp(appPath, kobin::Settings::forUser(appPath), smoke);
    // The whole argument text is the book to open.
    kobinApp.start(QApplication::arguments().mid(1).join(u' '));
    if (smoke)
        QTimer::singleShot(0, &kobinApp.window(), &QWidget::close);
    return QApplication::exec();
}
