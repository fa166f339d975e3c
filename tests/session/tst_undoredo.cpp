#include "CommandRegistry.h"
#include "UndoRedo.h"

#include <QtTest>

using namespace kobin;

namespace {
struct FakeHistory : EditHistory {
    bool undoable = false;
    bool redoable = false;
    int undos = 0;
    int redos = 0;
    bool canUndo() const override { return undoable; }
    bool canRedo() const override { return redoable; }
    void undo() override { ++undos; }
    void redo() override { ++redos; }
};
} // namespace

class TestUndoRedo : public QObject
{
    Q_OBJECT

private slots:
    void actsOnAndOffersTheFocusedPanesHistory_data()
    {
        QTest::addColumn<Pane>("active");
        QTest::addColumn<QList<bool>>("treeUndoRedo");
        QTest::addColumn<QList<bool>>("textUndoRedo");
        QTest::addColumn<QList<bool>>("offered");
        QTest::newRow("tree with both") << Pane::Tree << QList<bool>{true, true} << QList<bool>{false, false}
                                        << QList<bool>{true, true};
        QTest::newRow("tree, only the text has any") << Pane::Tree << QList<bool>{false, false}
                                                     << QList<bool>{true, true} << QList<bool>{false, false};
        QTest::newRow("tree with a redo only") << Pane::Tree << QList<bool>{false, true} << QList<bool>{true, false}
                                               << QList<bool>{false, true};
        QTest::newRow("text, only the tree has any") << Pane::Text << QList<bool>{true, true}
                                                     << QList<bool>{false, false} << QList<bool>{false, false};
        QTest::newRow("text with an undo only") << Pane::Text << QList<bool>{false, true} << QList<bool>{true, false}
                                                << QList<bool>{true, false};
    }

    void actsOnAndOffersTheFocusedPanesHistory()
    {
        QFETCH(Pane, active);
        QFETCH(QList<bool>, treeUndoRedo);
        QFETCH(QList<bool>, textUndoRedo);
        QFETCH(QList<bool>, offered);
        FakeHistory tree;
        FakeHistory text;
        tree.undoable = treeUndoRedo[0];
        tree.redoable = treeUndoRedo[1];
        text.undoable = textUndoRedo[0];
        text.redoable = textUndoRedo[1];
        CommandRegistry commands;
        UndoRedo undoRedo(tree, text, [active] { return active; }, commands);
        undoRedo.bindCommands();

        undoRedo.offer();
        QCOMPARE(commands.isEnabled(Command::EditUndo, Surface::Menu), offered[0]);
        QCOMPARE(commands.isEnabled(Command::EditRedo, Surface::Button), offered[1]);

        QVERIFY(commands.run(Command::EditUndo));
        QVERIFY(commands.run(Command::EditRedo));
        FakeHistory &focused = active == Pane::Tree ? tree : text;
        const FakeHistory &other = active == Pane::Tree ? text : tree;
        QCOMPARE(focused.undos, 1);
        QCOMPARE(focused.redos, 1);
        QCOMPARE(other.undos + other.redos, 0);
    }
};

QTEST_GUILESS_MAIN(TestUndoRedo)
#include "tst_undoredo.moc"
