#include "AppFolderInstaller.h"
#include "AppPath.h"
#include "BrowserSandbox.h"
#include "EngineSwitches.h"
#include "KobinApp.h"
#include "MainWindow.h"
#include "MessageBoxPrompter.h"
#include "QtTranslations.h"
#include "Settings.h"
#include "SingleInstance.h"
#include "StartOptions.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

namespace {

void nameTheProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("Kobin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KOBIN_VERSION));
}

// Reads the command line before any window system is needed, so that --help and
// --version work without a screen.
kobin::StartOptions readCommandLine(int &argc, char *argv[])
{
    const QCoreApplication reader(argc, argv);
    nameTheProgram();
    const kobin::QtTranslations translations;
    const kobin::StartOptions options = kobin::readStartOptions(QCoreApplication::arguments());
    if (options.action != kobin::StartOptions::Action::Start) {
        const QByteArray text = options.text.toLocal8Bit();
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()),
                    options.action == kobin::StartOptions::Action::Refuse ? stderr : stdout);
    }
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    const kobin::StartOptions options = readCommandLine(argc, argv);
    switch (options.action) {
    case kobin::StartOptions::Action::Start: break;
    case kobin::StartOptions::Action::PrintHelp:
    case kobin::StartOptions::Action::PrintVersion: return 0;
    case kobin::StartOptions::Action::Refuse: return kobin::StartOptions::kRefusedStatus;
    }

    kobin::keepBrowserFromEndingTheProgram();
    // Before whichever starts the web engine first: the page pane or a capture.
    kobin::applyEngineSwitches();
    QApplication app(argc, argv);
    nameTheProgram();
    // The desktop entry's name, so that the desktop ties the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("kobin"));

    // Dates and times in Japanese forms where the system names no language.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

    const kobin::QtTranslations translations;

    // The smoke mode of scripts and benchmarks: start as usual, then close at once.
    const bool smoke = qEnvironmentVariable("KOBIN_SMOKE") == QLatin1String("1");
    const kobin::ProgramFolders folders = kobin::programFoldersAt(kobin::resolveAppPath());
    const QString &appPath = folders.appPath;
    // Without its folder the program has nowhere to keep an open book, nor its lock.
    const auto reportNoFolder = [&] {
        kobin::MessageBoxPrompter(nullptr, smoke)
            .inform(kobin::PromptIcon::Exclamation, QStringLiteral("ﾌｫﾙﾀﾞを作成できません"),
                    QStringLiteral("「 ") + QDir::toNativeSeparators(appPath) + QStringLiteral(" 」\n\nを作成できません。"));
        return 1;
    };
    // An installed program's help and sample book lie beside it; one run from its
    // build folder brings them in its resources.
    const QString dataFolder = kobin::installedDataFolder(QCoreApplication::applicationDirPath());
    const kobin::AppFolderInstaller installer(dataFolder.isEmpty() ? QStringLiteral(":/install") : dataFolder,
                                              appPath);
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

    kobin::KobinApp kobinApp(folders, kobin::Settings::forUser(appPath), smoke);
    kobinApp.start(options.book);
    if (smoke)
        QTimer::singleShot(0, &kobinApp.window(), &QWidget::close);
    return QApplication::exec();
}
