#include "CommandRegistry.h"
#include "CommandState.h"
#include "Commands.h"
#include "ToolbarLayout.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using namespace kobin;

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void registryRunsWhatIsBoundAndKeepsEachSurfaceApart()
    {
        CommandRegistry commands;
        QSignalSpy changed(&commands, &CommandRegistry::stateChanged);
        int saved = 0;
        QVERIFY(!commands.run(Command::FileSave));
        commands.bind(Command::FileSave, [&] { ++saved; });
        QVERIFY(commands.run(Command::FileSave));
        QCOMPARE(saved, 1);

        QVERIFY(commands.isEnabled(Command::MoveUp, Surface::Menu));
        commands.setEnabled(Command::MoveUp, Surface::Button, false);
        QVERIFY(commands.isEnabled(Command::MoveUp, Surface::Menu));
        QVERIFY(!commands.isEnabled(Command::MoveUp, Surface::Button));
        commands.setEnabled(Command::MoveUp, Surface::Button, false); // no change, no signal
        commands.setChecked(Command::Bold, true);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed[1][0].value<Command>(), Command::Bold);
        QVERIFY(commands.isChecked(Command::Bold));
    }

    void toolbarKeysFindTheirCommands()
    {
        QCOMPARE(commandForToolbarKey("refresh"), Command::ReloadButton);
        QCOMPARE(commandForToolbarKey("deleate"), Command::DeleteItemButton);
        QCOMPARE(commandForToolbarKey("leftnode"), Command::MoveLeft);
        QCOMPARE(commandForToolbarKey("Save"), std::nullopt);
        QCOMPARE(commandForToolbarKey(""), std::nullopt);
        QCOMPARE(commandForObjectName("mnuFoward"), Command::Forward);
        QCOMPARE(commandForObjectName("mnuRecentFile(10)"), Command::RecentFile10);
    }

    // What the toolbar's customising lists: every button it offers shows a picture
    // and a name, and runs a command.
    void everyButtonOfferedShowsAndRunsItsCommand()
    {
        for (const QString &key : toolbarKeys() + extraToolbarKeys()) {
            if (key == toolbarlayout::Separator)
                continue;
            const std::optional<Command> command = commandForToolbarKey(key);
            QVERIFY2(command && !commandRow(*command).toolTip.isEmpty(), qPrintable(key));
            QVERIFY2(QFile::exists(KOBIN_ICONS "/" + commandRow(*command).icon + ".svg"), qPrintable(key));
        }
    }

    void eachShortcutReachesOneCommand()
    {
        QCOMPARE(commandRow(Command::Bold).shortcut, QString("Ctrl+B"));
        QCOMPARE(commandRow(Command::Italic).shortcut, QString("Ctrl+I"));
        QCOMPARE(commandRow(Command::Underline).shortcut, QString("Ctrl+U"));
        QHash<QString, Command> taken; // a key two commands share runs neither
        for (const CommandRow &row : commandRows()) {
            for (const QString &key : row.shortcut.split(';', Qt::SkipEmptyParts)) {
                QVERIFY2(!taken.contains(key) || taken[key] == row.command, qPrintable(key));
                taken.insert(key, row.command);
            }
        }
    }

    void bookItemDisablesSiblingAndMoveCommands()
    {
        CommandRegistry commands;
        CommandState state(commands);
        state.update(ItemKind::Folder);
        state.update(ItemKind::Book);
        for (Command command : {Command::NewFolderBeside, Command::NewHomepageBeside, Command::NewTextBeside,
                                Command::MoveUp, Command::MoveDown, Command::MoveLeft, Command::MoveRight})
            QVERIFY2(!commands.isEnabled(command, Surface::Button), qPrintable(commandRow(command).toolbarKey));
        for (Command command : {Command::NewFolderBeside, Command::NewTextBeside, Command::NewHomepageBeside})
            QVERIFY(!commands.isEnabled(command, Surface::Menu));
        QVERIFY(commands.isEnabled(Command::MoveUp, Surface::Menu)); // the menu refuses by itself
        for (Command command : {Command::NewChildFolder, Command::NewChildText, Command::NewChildHomepage,
                                Command::DeleteItemButton, Command::Bold})
            QVERIFY(commands.isEnabled(command, Surface::Button));
        QCOMPARE(state.tabs(), QStringList({"text"}));
    }

    void homepageItemShowsFourTabsOnce()
    {
        CommandRegistry commands;
        CommandState state(commands);
        QSignalSpy tabsChanged(&state, &CommandState::tabsChanged);
        state.update(ItemKind::Homepage);
        QCOMPARE(state.tabs(), QStringList({"html", "text", "updown", "leftright"}));
        QCOMPARE(state.selectedTab(), QString("html"));
        QVERIFY(!commands.isEnabled(Command::Back, Surface::Button));
        QVERIFY(!commands.isEnabled(Command::Back, Surface::Menu));
        QVERIFY(!commands.isEnabled(Command::CapturePage, Surface::Menu)); // until a link leads to the web
        for (Command command : {Command::Forward, Command::ReloadButton, Command::EditPageSource})
            QVERIFY(commands.isEnabled(command, Surface::Button));
        QVERIFY(commands.isEnabled(Command::ChangePageReference, Surface::Menu));
        state.selectTab("updown");
        state.update(ItemKind::Homepage);
        QCOMPARE(state.tabs().size(), 4);
        QCOMPARE(state.selectedTab(), QString("updown"));
        QCOMPARE(tabsChanged.size(), 2);
    }

    void folderAfterHomepageGoesBackToTheTextTab()
    {
        CommandRegistry commands;
        CommandState state(commands);
        state.update(ItemKind::Homepage);
        state.update(ItemKind::Text);
        QCOMPARE(state.tabs(), QStringList({"text"}));
        QCOMPARE(state.selectedTab(), QString("text"));
        QVERIFY(!commands.isEnabled(Command::ChangePageReference, Surface::Menu));
        QVERIFY(!commands.isEnabled(Command::EditPageSource, Surface::Button));
        QVERIFY(commands.isEnabled(Command::MoveUp, Surface::Button));
        state.selectTab("html"); // not a tab now
        QCOMPARE(state.selectedTab(), QString("text"));
    }

    void toolbarLayoutRoundTripsAndRejectsStrangers()
    {
        const QStringList layout = {"save", "-", "bold", "italic", "-", "back"};
        QCOMPARE(toolbarlayout::fromText(toolbarlayout::toText(layout)).value(), layout);
        QCOMPARE(toolbarlayout::fromText(toolbarlayout::toText({"bold", "nothing", "bold", "under"})).value(),
                 QStringList({"bold", "under"}));
        QVERIFY(!toolbarlayout::fromText("garbage"));
        QVERIFY(!toolbarlayout::fromText(""));
        QCOMPARE(toolbarlayout::defaultLayout().size(), 36);
        // The toolbar as it starts, with every button the customising adds, keeps them all when stored.
        const QStringList everyButton = toolbarlayout::defaultLayout() + extraToolbarKeys();
        QCOMPARE(toolbarlayout::fromText(toolbarlayout::toText(everyButton)).value(), everyButton);
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
