// The program as the crash tests run it: "type APP BOOK" opens BOOK and keeps
// typing into its notes, saying on standard output each note it has kept, until
// it is killed; "recover APP" starts again, answers the recovery question with
// yes and prints every note of the book it recovered, one line each.
#include "CrashRecovery.h"
#include "FakeFileDialogs.h"
#include "FakePrompter.h"
#include "KobinApp.h"
#include "MainWindow.h"
#include "Settings.h"
#include "TextPane.h"
#include "TreePane.h"

#include <QApplication>
#include <cstdio>

using namespace kobin;

namespace {

void click(KobinApp &app, const QString &key)
{
    TreeItem *item = app.book().tree().item(key);
    app.book().tree().select(item);
    emit app.window().treePane()->itemClicked(item);
}

QStringList noteKeys(KobinApp &app)
{
    QStringList keys; // every item but the book item, in tree order (the tree counts from 1)
    for (int i = 2; i <= app.book().tree().count(); ++i)
        keys << app.book().tree().item(i)->key();
    return keys;
}

int type(KobinApp &app)
{
    const QStringList keys = noteKeys(app);
    for (int version = 1;; ++version) {
        for (const QString &key : keys) {
            click(app, key);
            // Long enough that writing it takes a while, ending in what tells it whole.
            app.window().textPane()->setPlainText(QString("%1 version %2 ").arg(key).arg(version).repeated(200)
                                                  + QString("end %1").arg(version));
            app.recovery().keepWork();
            std::printf("kept %s %d\n", qPrintable(key), version);
            std::fflush(stdout);
        }
    }
}

int recover(KobinApp &app)
{
    for (const QString &key : noteKeys(app)) {
        click(app, key);
        const QString text = app.window().textPane()->toPlainText();
        std::printf("%s %s\n", qPrintable(key), qPrintable(text.section(u' ', -2)));
    }
    std::printf("changed %d\n", app.book().isChanged() ? 1 : 0);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3)
        return 2;
    const QString mode = args[1];
    const QString appPath = args[2];
    FakePrompter prompter;
    prompter.answers = {PromptAnswer::Yes};
    FakeFileDialogs dialogs;
    KobinApp app(appPath, std::make_unique<Settings>(appPath + "Kobin.ini", appPath), true, &prompter, &dialogs);
    app.start(mode == QLatin1String("type") ? args.value(3) : QString());
    if (mode == QLatin1String("type"))
        return type(app);
    if (prompter.prompts.isEmpty())
        return 3; // nothing was offered back
    return recover(app);
}
