// The program as the crash tests run it: "type APP BOOK" opens BOOK and keeps
// typing into its notes, saying on standard output each note it has kept, until
// it is killed; "delete APP BOOK" does the same, deleting each note's item after
// typing into it and taking the deletion back; "recover APP" starts again,
// answers the recovery question with yes, prints every note of the book it
// recovered, one line each, and saves it.
#include "CommandRegistry.h"
#include "CrashRecovery.h"
#include "FakeFileDialogs.h"
#include "FakePrompter.h"
#include "KobinApp.h"
#include "MainWindow.h"
#include "Settings.h"
#include "TextPane.h"
#include "TreeCommands.h"
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

void say(const char *what, const QString &key, int version)
{
    std::printf("%s %s %d\n", what, qPrintable(key), version);
    std::fflush(stdout);
}

int type(KobinApp &app, FakePrompter &prompter, bool deleting)
{
    const QStringList keys = noteKeys(app);
    for (int version = 1;; ++version) {
        for (const QString &key : keys) {
            click(app, key);
            // Long enough that writing it takes a while, ending in what tells it whole.
            app.window().textPane()->setPlainText(QString("%1 version %2 ").arg(key).arg(version).repeated(200)
                                                  + QString("end %1").arg(version));
            app.recovery().keepWork();
            say("kept", key, version);
            if (!deleting)
                continue;
            prompter.answers = {PromptAnswer::Yes};
            app.treeCommands().deleteItem();
            say("deleted", key, version);
            // A while with the item deleted: the book item's note is typed into and kept.
            click(app, QStringLiteral("a1"));
            app.window().textPane()->setPlainText(QString("while %1 is deleted ").arg(key).repeated(200));
            app.recovery().keepWork();
            app.treeCommands().history().undo();
            say("back", key, version);
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
    app.commands().run(Command::FileSave);
    std::printf("saved %d\n", app.book().isChanged() ? 0 : 1);
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
    KobinApp app(programFoldersAt(appPath), std::make_unique<Settings>(appPath + "Kobin.ini", appPath), true, &prompter,
                 &dialogs);
    const bool typing = mode == QLatin1String("type") || mode == QLatin1String("delete");
    app.start(typing ? args.value(3) : QString());
    if (typing)
        return type(app, prompter, mode == QLatin1String("delete"));
    if (prompter.prompts.isEmpty())
        return 3; // nothing was offered back
    return recover(app);
}
