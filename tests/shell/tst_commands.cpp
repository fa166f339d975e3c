#include "CommandState.h"
#include "Commands.h"
#include "Layout.h"
#include "ToolbarLayout.h"

#include <QtTest>

using namespace kobin;

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void toolbarHasItsThirtySixEntries()
    {
        const auto &entries = toolbarEntries();
        QCOMPARE(entries.size(), size_t(36));
        QCOMPARE(entries[1].key, QString("save"));
        QCOMPARE(entries[34].key, QString("refresh"));
        QCOMPARE(entries[34].image, QString("renew"));
        QCOMPARE(entries[29].style, ButtonStyle::Group);
        QCOMPARE(toolbarEntry("down")->toolTip, QString("下に移動"));
        QCOMPARE(toolbarEntry(""), nullptr);
    }

    void menuEntriesCarryCaptionsShortcutsAndStartStates()
    {
        QCOMPARE(menuEntry("mnuFileSave")->shortcut, QString("Ctrl+S"));
        QCOMPARE(menuEntry("mnuFont")->caption, QString("フォント(&F)..."));
        QVERIFY(menuEntry("mnuViewStatusBar")->checked);
        QVERIFY(menuEntry("mnuFind")->hidden);
        QVERIFY(menuEntry(recentFileMenuId(10))->hidden);
        QCOMPARE(menuEntry(customColorMenuId(0))->caption, QString("-"));
        QCOMPARE(menuEntry("nothing"), nullptr);
    }

    void bookItemDisablesSiblingAndMoveCommands()
    {
        CommandState state;
        state.update("f");
        state.update("root");
        for (const char *key : {"newEqualfolder", "newEqualHtml", "newEqualRich", "up", "down", "leftnode", "rightnode"})
            QVERIFY2(!state.isButtonEnabled(key), key);
        for (const char *id : {"mnuNewEpualFolder", "mnuEqualRichtext", "mnuEqualHtml"})
            QVERIFY2(!state.isMenuEnabled(id), id);
        for (const char *key : {"newfolder", "newrich", "newhtml", "deleate", "bold"})
            QVERIFY2(state.isButtonEnabled(key), key);
        QCOMPARE(state.tabs(), QStringList({"text"}));
    }

    void homepageItemShowsFourTabsOnce()
    {
        CommandState state;
        state.update("html");
        QCOMPARE(state.tabs(), QStringList({"html", "text", "updown", "leftright"}));
        QCOMPARE(state.selectedTab(), QString("html"));
        QVERIFY(!state.isButtonEnabled("back"));
        QVERIFY(!state.isMenuEnabled("mnuBack"));
        for (const char *key : {"foward", "refresh", "edit"})
            QVERIFY2(state.isButtonEnabled(key), key);
        QVERIFY(state.isMenuEnabled("mnuChangeURL"));
        state.selectTab("updown");
        state.update("html");
        QCOMPARE(state.tabs().size(), 4);
        QCOMPARE(state.selectedTab(), QString("updown"));
    }

    void folderAfterHomepageGoesBackToTheTextTab()
    {
        CommandState state;
        state.update("html");
        state.update("f");
        QCOMPARE(state.tabs(), QStringList({"text"}));
        QCOMPARE(state.selectedTab(), QString("text"));
        QVERIFY(!state.isMenuEnabled("mnuChangeURL"));
        QVERIFY(!state.isButtonEnabled("edit"));
        QVERIFY(state.isButtonEnabled("up"));
        state.update("f");
        QCOMPARE(state.tabs(), QStringList({"text"}));
    }

    void toolbarDispatch()
    {
        QCOMPARE(toolbarCommand("save", false), QString("mnuFileSaveAs"));
        QCOMPARE(toolbarCommand("save", true), QString("mnuFileSave"));
        QCOMPARE(toolbarCommand("deleate", true), commands::DeleteTreeItem);
        QCOMPARE(toolbarCommand("refresh", true), commands::ReloadPage);
        QCOMPARE(toolbarCommand("leftnode", true), QString("mnuLeft"));
        QCOMPARE(toolbarCommand("colorback", true), QString("mnuColor"));
        QCOMPARE(toolbarCommand("Save", true), QString());
        QCOMPARE(toolbarCommand("", true), QString());
        // Every command a button reaches exists in the menus or is a button-only command.
        for (const ToolbarEntry &entry : toolbarEntries()) {
            if (entry.style == ButtonStyle::Separator)
                continue;
            const QString command = toolbarCommand(entry.key, true);
            QVERIFY2(menuEntry(command) || command == commands::DeleteTreeItem || command == commands::ReloadPage,
                     qPrintable(entry.key));
        }
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
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
