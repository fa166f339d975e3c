#include "ItemKinds.h"
#include "ItemTree.h"
#include "TreeEditor.h"
#include "SmallStack.h"
#include "TreeString.h"

#include <QtTest>

using namespace kobin;

Q_DECLARE_METATYPE(kobin::ItemKind)
Q_DECLARE_METATYPE(kobin::Placement)
Q_DECLARE_METATYPE(kobin::MoveDirection)

namespace {

// B a1
// ├ F a2 (folder): X a3 (text, holding X1 a8), Y a4 (text), Z a5 (homepage)
// ├ G a6 (folder): G1 a9 (folder, holding G2 a10)
// └ H a7 (homepage)
const QString kSample = QStringLiteral(
    R"(|0\B=a1+root|a1\F=a2+fclose|a2\X=a3+richtxt|a3\X1=a8+richtxt|a2\Y=a4+richtxt|a2\Z=a5+htmlfile|)"
    R"(a1\G=a6+fclose|a6\G1=a9+fclose|a9\G2=a10+richtxt|a1\H=a7+htmlfile|)");

QStringList childKeys(const TreeItem *item)
{
    QStringList keys;
    for (const TreeItem *child : item->children())
        keys << child->key();
    return keys;
}

// What the tree string leaves out: every item's pictures and expanded state, and the selection.
QStringList picturesAndState(const ItemTree &tree)
{
    QStringList state;
    for (int i = 1; i <= tree.count(); ++i) {
        const TreeItem *item = tree.item(i);
        state << item->key() + ' ' + item->selectedImage() + ' ' + item->expandedImage()
                     + (item->isExpanded() ? " expanded" : "");
    }
    std::sort(state.begin(), state.end()); // a move changes the order of addition
    state << "selected " + (tree.selectedItem() ? tree.selectedItem()->key() : QStringLiteral("none"));
    return state;
}

// A chain of folders `levels` deep under a2, itself the first child of the book item,
// followed by a text item a3.
void buildDeepBook(ItemTree &tree, int levels)
{
    treestring::buildTree(tree, uR"(|0\B=a1+root|a1\Deep=a2+fclose|a1\After=a3+richtxt|)");
    for (int i = 0; i < levels; ++i)
        tree.add(QStringLiteral("a%1").arg(i ? i + 3 : 2), Relationship::Child, QStringLiteral("a%1").arg(i + 4),
                 QStringLiteral("level %1").arg(i), "fclose");
}

int depthOf(const TreeItem *item)
{
    int depth = 0;
    for (; item->parent(); item = item->parent())
        ++depth;
    return depth;
}

} // namespace

class TestTreeEditor : public QObject
{
    Q_OBJECT

private slots:
    void kindFollowsTheImage_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<ItemKind>("kind");
        QTest::newRow("book") << "root" << ItemKind::Book;
        QTest::newRow("folder") << "fclose" << ItemKind::Folder;
        QTest::newRow("open folder") << "fopen" << ItemKind::Folder;
        QTest::newRow("text") << "richtxt" << ItemKind::Text;
        QTest::newRow("homepage") << "htmlfile" << ItemKind::Homepage;
        QTest::newRow("a homepage's selected image is no homepage") << "SelectedHtmlfile" << ItemKind::Text;
        QTest::newRow("any other picture") << "htmlfileee" << ItemKind::Text;
    }

    void kindFollowsTheImage()
    {
        QFETCH(QString, image);
        QFETCH(ItemKind, kind);
        ItemTree tree;
        QCOMPARE(kindOf(*tree.add(nullptr, Relationship::Last, "a1", "x", image)), kind);
    }

    void newItemsTakeTheSmallestFreeKey()
    {
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, u"|0\\新規ブック=a1+root|");
        tree.select(tree.item("a1"));
        QCOMPARE(editor.add(ItemKind::Text, Placement::Child)->key, QString("a2"));
        QCOMPARE(editor.add(ItemKind::Folder, Placement::Beside)->key, QString("a3"));
        QVERIFY(editor.remove("a2"));
        QCOMPARE(editor.add(ItemKind::Homepage, Placement::Child)->key, QString("a2"));
        QCOMPARE(tree.item("a2")->parent()->key(), QString("a3"));
        QCOMPARE(editor.add(ItemKind::Text, Placement::Beside)->key, QString("a4"));
    }

    void noEditNestsItemsDeeperThanABookMayBeRead()
    {
        // A chain of folders down to the deepest level a book may have, and a two-level branch beside it.
        QString treeString = "|0\\L1=a1+root|";
        for (int level = 2; level <= treestring::kDeepestLevel; ++level)
            treeString += QString("a%1\\L%2=a%2+fclose|").arg(level - 1).arg(level);
        treeString += "a1\\Branch=a5000+fclose|a5000\\Leaf=a5001+richtxt|";
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, treeString);
        const QString deepest = QString("a%1").arg(treestring::kDeepestLevel);

        tree.select(tree.item(deepest));
        QVERIFY(!editor.add(ItemKind::Text, Placement::Child));
        QVERIFY(editor.add(ItemKind::Text, Placement::Beside));
        const QString above = QString("a%1").arg(treestring::kDeepestLevel - 1);
        QVERIFY(!editor.dropOnto("a5000", above)); // the leaf would lie one level too deep
        QVERIFY(tree.item("a5001"));
        QCOMPARE(tree.item("a5000")->parent(), tree.item("a1"));
        QVERIFY(editor.dropOnto("a5000", QString("a%1").arg(treestring::kDeepestLevel - 2)));
        QCOMPARE(treestring::deepestLevel(treestring::fromTree(tree)), treestring::kDeepestLevel);
    }

    void newItemsStandUnnamedWhereTheyArePlacedAndSelected()
    {
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);

        tree.select(tree.item("a2"));
        const std::optional<TreeEdit> child = editor.add(ItemKind::Text, Placement::Child);
        QVERIFY(child);
        QCOMPARE(child->key, QString("a11"));
        QCOMPARE(childKeys(tree.item("a2")), QStringList({"a3", "a4", "a5", "a11"}));
        QCOMPARE(tree.item("a11")->text(), QString());
        QCOMPARE(tree.selectedItem(), tree.item("a11"));
        QCOMPARE(child->kind, TreeEdit::Kind::Add);
        QCOMPARE(child->newParentKey, QString("a2"));
        QCOMPARE(child->newRow, 3);

        tree.select(tree.item("a2"));
        const std::optional<TreeEdit> beside = editor.add(ItemKind::Folder, Placement::Beside);
        QVERIFY(beside);
        QCOMPARE(childKeys(tree.item("a1")), QStringList({"a2", "a12", "a6", "a7"}));
        QCOMPARE(beside->newParentKey, QString("a1"));
        QCOMPARE(beside->newRow, 1);
        QCOMPARE(tree.selectedItem(), tree.item("a12"));

        // Any item can receive children, a homepage item too.
        tree.select(tree.item("a5"));
        QVERIFY(editor.add(ItemKind::Text, Placement::Child));
        QCOMPARE(tree.selectedItem()->parent()->key(), QString("a5"));
    }

    void newItemsCarryTheirKindsPictures_data()
    {
        QTest::addColumn<ItemKind>("kind");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("selectedImage");
        QTest::addColumn<QString>("expandedImage");
        QTest::newRow("folder") << ItemKind::Folder << "fclose" << "fopen" << "fopen";
        QTest::newRow("text") << ItemKind::Text << "richtxt" << "SelectedRichtxt" << "";
        QTest::newRow("homepage") << ItemKind::Homepage << "htmlfile" << "SelectedHtmlfile" << "";
    }

    void newItemsCarryTheirKindsPictures()
    {
        QFETCH(ItemKind, kind);
        QFETCH(QString, image);
        QFETCH(QString, selectedImage);
        QFETCH(QString, expandedImage);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        tree.select(tree.item("a4"));
        const std::optional<TreeEdit> edit = editor.add(kind, Placement::Beside);
        QVERIFY(edit);
        const TreeItem *item = tree.item(edit->key);
        QCOMPARE(item->image(), image);
        QCOMPARE(item->selectedImage(), selectedImage);
        QCOMPARE(item->expandedImage(), expandedImage);
        QCOMPARE(kindOf(*item), kind);
        // The same pictures as the item has once the book is saved and read again.
        ItemTree reread;
        treestring::buildTree(reread, treestring::fromTree(tree));
        QCOMPARE(reread.item(edit->key)->selectedImage(), selectedImage);
        QCOMPARE(reread.item(edit->key)->expandedImage(), expandedImage);
    }

    void refusedAddsChangeNothing_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<ItemKind>("kind");
        QTest::addColumn<Placement>("placement");
        QTest::newRow("no item selected") << "" << ItemKind::Text << Placement::Child;
        QTest::newRow("folder beside the book item") << "a1" << ItemKind::Folder << Placement::Beside;
        QTest::newRow("text beside the book item") << "a1" << ItemKind::Text << Placement::Beside;
        QTest::newRow("homepage beside the book item") << "a1" << ItemKind::Homepage << Placement::Beside;
        QTest::newRow("a second book item") << "a2" << ItemKind::Book << Placement::Child;
    }

    void refusedAddsChangeNothing()
    {
        QFETCH(QString, selected);
        QFETCH(ItemKind, kind);
        QFETCH(Placement, placement);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        tree.select(tree.item(selected));
        QVERIFY(!editor.add(kind, placement));
        QCOMPARE(treestring::fromTree(tree), kSample);
        QCOMPARE(tree.selectedItem(), tree.item(selected));
    }

    void movesPutTheItemNextToItsTarget_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<MoveDirection>("direction");
        QTest::addColumn<QString>("parentKey");
        QTest::addColumn<QStringList>("siblings");
        QTest::newRow("up on the second of three") << "a4" << MoveDirection::Up << "a2" << QStringList{"a4", "a3", "a5"};
        QTest::newRow("down on the second of three")
            << "a4" << MoveDirection::Down << "a2" << QStringList{"a3", "a5", "a4"};
        QTest::newRow("left on the first of three, between its parent and the next")
            << "a3" << MoveDirection::Left << "a1" << QStringList{"a2", "a3", "a6", "a7"};
        QTest::newRow("right into the previous sibling, after its children")
            << "a4" << MoveDirection::RightPrevious << "a3" << QStringList{"a8", "a4"}; // a text item
        QTest::newRow("right into the next sibling")
            << "a3" << MoveDirection::RightNext << "a4" << QStringList{"a3"};
        QTest::newRow("right into a folder, after its children")
            << "a7" << MoveDirection::RightPrevious << "a6" << QStringList{"a9", "a7"};
        QTest::newRow("right into a homepage item")
            << "a4" << MoveDirection::RightNext << "a5" << QStringList{"a4"};
    }

    void movesPutTheItemNextToItsTarget()
    {
        QFETCH(QString, key);
        QFETCH(MoveDirection, direction);
        QFETCH(QString, parentKey);
        QFETCH(QStringList, siblings);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        const TreeItem *oldParent = tree.item(key)->parent();
        const int oldRow = tree.item(key)->row();

        const std::optional<TreeEdit> edit = editor.move(key, direction);
        QVERIFY(edit);
        const TreeItem *moved = tree.item(key);
        QCOMPARE(moved->parent()->key(), parentKey);
        QCOMPARE(childKeys(moved->parent()), siblings);
        QCOMPARE(tree.selectedItem(), moved);
        QCOMPARE(edit->kind, TreeEdit::Kind::Move);
        QCOMPARE(edit->key, key);
        QCOMPARE(edit->oldParentKey, oldParent->key());
        QCOMPARE(edit->oldRow, oldRow);
        QCOMPARE(edit->newParentKey, parentKey);
        QCOMPARE(edit->newRow, moved->row());
        QCOMPARE(tree.count(), 10);
    }

    void moveRightGoesIntoThePreviousSiblingWhenThereIsOne()
    {
        ItemTree tree;
        treestring::buildTree(tree, kSample);
        QCOMPARE(TreeEditor::rightDirection(*tree.item("a4")), MoveDirection::RightPrevious);
        QCOMPARE(TreeEditor::rightDirection(*tree.item("a5")), MoveDirection::RightPrevious);
        QCOMPARE(TreeEditor::rightDirection(*tree.item("a3")), MoveDirection::RightNext);
    }

    void refusedMovesChangeNothing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<MoveDirection>("direction");
        QTest::newRow("up on the first under its parent") << "a3" << MoveDirection::Up;
        QTest::newRow("down on the last under its parent") << "a5" << MoveDirection::Down;
        QTest::newRow("left directly under the book item") << "a2" << MoveDirection::Left;
        QTest::newRow("right into a previous sibling that is not there") << "a3" << MoveDirection::RightPrevious;
        QTest::newRow("right into a next sibling that is not there") << "a5" << MoveDirection::RightNext;
        QTest::newRow("right on an only child") << "a8" << MoveDirection::RightNext;
        QTest::newRow("unknown item") << "a99" << MoveDirection::Down;
        for (MoveDirection direction : {MoveDirection::Up, MoveDirection::Down, MoveDirection::Left,
                                        MoveDirection::RightPrevious, MoveDirection::RightNext})
            QTest::addRow("book item, direction %d", static_cast<int>(direction)) << "a1" << direction;
    }

    void refusedMovesChangeNothing()
    {
        QFETCH(QString, key);
        QFETCH(MoveDirection, direction);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        tree.ensureVisible(tree.item("a10"));
        tree.ensureVisible(tree.item("a8"));
        tree.select(tree.item("a7"));
        const QStringList state = picturesAndState(tree);
        QVERIFY(!editor.move(key, direction));
        QCOMPARE(treestring::fromTree(tree), kSample);
        QCOMPARE(picturesAndState(tree), state);
    }

    void movedSubTreeKeepsEverythingButComesBackCollapsed()
    {
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        tree.ensureVisible(tree.item("a10")); // expands a1, a6, a9
        tree.ensureVisible(tree.item("a8"));  // expands a2, a3
        QString descendants;
        treestring::appendChildRecords(tree.item("a6"), descendants);
        const QString folderPictures = tree.item("a6")->selectedImage() + tree.item("a6")->expandedImage();

        QVERIFY(editor.move("a6", MoveDirection::Up));
        QString movedDescendants;
        treestring::appendChildRecords(tree.item("a6"), movedDescendants);
        QCOMPARE(movedDescendants, descendants);
        QCOMPARE(tree.item("a6")->text(), QString("G"));
        QCOMPARE(tree.item("a6")->selectedImage() + tree.item("a6")->expandedImage(), folderPictures);
        QCOMPARE(tree.item("a9")->selectedImage(), QString("fopen"));
        QCOMPARE(tree.item("a10")->selectedImage(), QString("SelectedRichtxt"));
        QVERIFY(!tree.item("a6")->isExpanded());
        QVERIFY(!tree.item("a9")->isExpanded());
        QVERIFY(tree.item("a2")->isExpanded()); // items outside the moved sub-tree keep their state
        QVERIFY(tree.item("a3")->isExpanded());
        QCOMPARE(treestring::fromTree(tree),
                 QString(R"(|0\B=a1+root|a1\G=a6+fclose|a6\G1=a9+fclose|a9\G2=a10+richtxt|a1\F=a2+fclose|)"
                         R"(a2\X=a3+richtxt|a3\X1=a8+richtxt|a2\Y=a4+richtxt|a2\Z=a5+htmlfile|a1\H=a7+htmlfile|)"));
    }

    void dropsMakeTheItemTheTargetsLastChild_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("targetChildren");
        QTest::newRow("onto a folder with children") << "a6" << "a2" << QStringList{"a3", "a4", "a5", "a6"};
        QTest::newRow("onto the book item") << "a3" << "a1" << QStringList{"a2", "a6", "a7", "a3"};
        QTest::newRow("onto a text item") << "a6" << "a4" << QStringList{"a6"};
        QTest::newRow("onto a homepage item") << "a2" << "a7" << QStringList{"a2"};
        QTest::newRow("onto its own parent") << "a3" << "a2" << QStringList{"a4", "a5", "a3"};
        QTest::newRow("onto a sibling's descendant") << "a4" << "a8" << QStringList{"a4"};
    }

    void dropsMakeTheItemTheTargetsLastChild()
    {
        QFETCH(QString, key);
        QFETCH(QString, target);
        QFETCH(QStringList, targetChildren);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        tree.ensureVisible(tree.item("a10"));
        QString descendants;
        treestring::appendChildRecords(tree.item(key), descendants);

        QVERIFY(editor.canDropOnto(key, target));
        const std::optional<TreeEdit> edit = editor.dropOnto(key, target);
        QVERIFY(edit);
        QCOMPARE(childKeys(tree.item(target)), targetChildren);
        QString droppedDescendants;
        treestring::appendChildRecords(tree.item(key), droppedDescendants);
        QCOMPARE(droppedDescendants, descendants);
        QCOMPARE(tree.selectedItem(), tree.item(key));
        QVERIFY(!tree.item(key)->isExpanded());
        QCOMPARE(tree.count(), 10);
        QCOMPARE(edit->kind, TreeEdit::Kind::Move);
        QCOMPARE(edit->newParentKey, target);
        QCOMPARE(edit->newRow, targetChildren.size() - 1);
    }

    void refusedDropsChangeNothing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("target");
        QTest::newRow("the book item") << "a1" << "a2";
        QTest::newRow("onto itself") << "a6" << "a6";
        QTest::newRow("onto its child") << "a6" << "a9";
        QTest::newRow("onto its grandchild") << "a6" << "a10";
        QTest::newRow("onto no item") << "a6" << "";
        QTest::newRow("onto an unknown item") << "a6" << "a99";
        QTest::newRow("an unknown item") << "a99" << "a2";
    }

    void refusedDropsChangeNothing()
    {
        QFETCH(QString, key);
        QFETCH(QString, target);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        tree.ensureVisible(tree.item("a10"));
        tree.select(tree.item("a3"));
        const QStringList state = picturesAndState(tree);
        QVERIFY(!editor.canDropOnto(key, target));
        QVERIFY(!editor.dropOnto(key, target));
        QCOMPARE(treestring::fromTree(tree), kSample);
        QCOMPARE(picturesAndState(tree), state);
    }

    void deepSubTreesMoveAndDropWithoutRecursion()
    {
        const int levels = kDeeperThanAnyRecursion;
        const QString deepest = QStringLiteral("a%1").arg(levels + 3);
        // What the edits did, looked at once the tree, built, edited and gone, has left the small stack.
        bool droppedIntoItself = true, moved = false, dropped = false;
        QStringList bookChildren;
        int count = 0, deepestDepth = 0, childrenLeft = -1;
        QString deepestText;
        runOnSmallStack([&] {
            ItemTree tree;
            TreeEditor editor(tree);
            buildDeepBook(tree, levels);
            droppedIntoItself = editor.dropOnto("a2", deepest).has_value();
            moved = editor.move("a2", MoveDirection::Down).has_value();
            bookChildren = childKeys(tree.item("a1"));
            dropped = editor.dropOnto("a4", "a3").has_value();
            count = tree.count();
            deepestDepth = depthOf(tree.item(deepest));
            deepestText = tree.item(deepest)->text();
            childrenLeft = tree.item("a2")->childCount();
        });
        QVERIFY(!droppedIntoItself);
        QVERIFY(moved);
        QCOMPARE(bookChildren, QStringList({"a3", "a2"}));
        QVERIFY(dropped);
        QCOMPARE(count, levels + 3);
        QCOMPARE(deepestDepth, levels + 1);
        QCOMPARE(deepestText, QStringLiteral("level %1").arg(levels - 1));
        QCOMPARE(childrenLeft, 0);
    }

    void removalShowsTheNeighbourNext_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("nextKey");
        QTest::addColumn<int>("count");
        QTest::newRow("second of three: the first") << "a4" << "a3" << 9;
        QTest::newRow("first of three: the former second") << "a3" << "a4" << 8;
        QTest::newRow("last of three: the one before") << "a5" << "a4" << 9;
        QTest::newRow("only child: the parent") << "a8" << "a3" << 9;
        QTest::newRow("a folder with its sub-tree") << "a6" << "a2" << 7;
    }

    void removalShowsTheNeighbourNext()
    {
        QFETCH(QString, key);
        QFETCH(QString, nextKey);
        QFETCH(int, count);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        tree.select(tree.item("a7"));
        const std::optional<TreeRemoval> removal = editor.remove(key);
        QVERIFY(removal);
        QCOMPARE(removal->nextKey, nextKey);
        QCOMPARE(removal->edit.kind, TreeEdit::Kind::Remove);
        QCOMPARE(removal->edit.key, key);
        QCOMPARE(tree.item(key), nullptr);
        QCOMPARE(tree.count(), count);
        QCOMPARE(tree.selectedItem(), tree.item("a7")); // a removal chooses, the caller selects
    }

    void removingTheSelectedSubTreeLeavesNothingSelected()
    {
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        tree.select(tree.item("a10"));
        QVERIFY(editor.remove("a6"));
        QCOMPARE(tree.selectedItem(), nullptr);
    }

    void refusedRemovalsChangeNothing()
    {
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        QVERIFY(!editor.remove("a1"));
        QVERIFY(!editor.remove("a99"));
        QVERIFY(!editor.remove(""));
        QCOMPARE(treestring::fromTree(tree), kSample);
    }

    void editsAreUndoneAndRedone_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("other");
        QTest::newRow("remove a folder with its sub-tree") << "remove" << "a2" << "";
        QTest::newRow("remove the middle of three") << "remove" << "a4" << "";
        QTest::newRow("remove the last child") << "remove" << "a7" << "";
        QTest::newRow("move up") << "up" << "a6" << "";
        QTest::newRow("move down") << "down" << "a2" << "";
        QTest::newRow("move left") << "left" << "a3" << "";
        QTest::newRow("move right") << "right" << "a6" << "";
        QTest::newRow("drop onto the book item") << "drop" << "a2" << "a1";
        QTest::newRow("drop deeper") << "drop" << "a4" << "a10";
    }

    void editsAreUndoneAndRedone()
    {
        QFETCH(QString, edit);
        QFETCH(QString, key);
        QFETCH(QString, other);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        tree.select(tree.item("a1"));
        const QStringList state = picturesAndState(tree);

        std::optional<TreeEdit> done;
        if (edit == "remove") {
            const std::optional<TreeRemoval> removal = editor.remove(key);
            QVERIFY(removal);
            done = removal->edit;
        } else {
            done = edit == "drop"   ? editor.dropOnto(key, other)
                   : edit == "up"   ? editor.move(key, MoveDirection::Up)
                   : edit == "down" ? editor.move(key, MoveDirection::Down)
                   : edit == "left" ? editor.move(key, MoveDirection::Left)
                                    : editor.move(key, TreeEditor::rightDirection(*tree.item(key)));
            QVERIFY(done);
        }
        const QString edited = treestring::fromTree(tree);
        QVERIFY(edited != kSample);
        for (int round = 0; round < 2; ++round) {
            editor.undo(*done);
            tree.select(tree.item("a1"));
            QCOMPARE(treestring::fromTree(tree), kSample);
            QCOMPARE(picturesAndState(tree), state);
            editor.redo(*done);
            QCOMPARE(treestring::fromTree(tree), edited);
        }
    }

    void addingAndRenamingAreUndoneAndRedone()
    {
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        tree.select(tree.item("a2"));
        std::optional<TreeEdit> added = editor.add(ItemKind::Folder, Placement::Beside);
        QVERIFY(added);
        added->newCaption = "Named";
        editor.undo(*added);
        QCOMPARE(treestring::fromTree(tree), kSample);
        editor.redo(*added);
        const TreeItem *again = tree.item(added->key);
        QVERIFY(again);
        QCOMPARE(again->text(), QString("Named"));
        QCOMPARE(again->expandedImage(), QString("fopen"));
        QCOMPARE(again->parent()->key(), QString("a1"));
        QCOMPARE(again->row(), tree.item("a2")->row() + 1);

        const std::optional<TreeEdit> renamed = editor.rename("a2", "Other");
        QVERIFY(renamed);
        editor.undo(*renamed);
        QCOMPARE(tree.item("a2")->text(), renamed->oldCaption);
        editor.redo(*renamed);
        QCOMPARE(tree.item("a2")->text(), QString("Other"));
    }

    void renameKeepsTheCaptionAsTheBookFileWillHoldIt()
    {
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);

        std::optional<TreeEdit> edit = editor.rename("a4", "新しい名前");
        QVERIFY(edit);
        QCOMPARE(edit->kind, TreeEdit::Kind::Rename);
        QCOMPARE(edit->oldCaption, QString("Y"));
        QCOMPARE(edit->newCaption, QString("新しい名前"));
        QCOMPARE(tree.item("a4")->text(), QString("新しい名前"));

        QVERIFY(editor.rename("a1", "本の題"));
        QCOMPARE(tree.item("a1")->text(), QString("本の題"));

        QVERIFY(editor.rename("a5", "a|b\\c=d+e"));
        QCOMPARE(tree.item("a5")->text(), QString("a｜b＼c＝d＋e"));
        QVERIFY(editor.move("a2", MoveDirection::Down)); // rebuilt from its records
        QCOMPARE(tree.item("a5")->text(), QString("a｜b＼c＝d＋e"));

        // Cut where the reader stops, never within a character.
        const QString face = QStringLiteral("😀");
        edit = editor.rename("a3", QString(treestring::kMaxCaptionLength - 1, 'x') + face);
        QVERIFY(edit);
        QCOMPARE(tree.item("a3")->text(), QString(treestring::kMaxCaptionLength - 1, 'x'));
        QVERIFY(editor.rename("a3", face + QString(treestring::kMaxCaptionLength, 'y')));
        QCOMPARE(tree.item("a3")->text().size(), treestring::kMaxCaptionLength);
        ItemTree reread;
        treestring::buildTree(reread, treestring::fromTree(tree));
        QCOMPARE(reread.item("a3")->text(), tree.item("a3")->text());
    }

    void refusedRenamesChangeNothing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::newRow("empty caption") << "a4" << "";
        QTest::newRow("the caption it has") << "a4" << "Y";
        QTest::newRow("unknown item") << "a99" << "Z";
    }

    void refusedRenamesChangeNothing()
    {
        QFETCH(QString, key);
        QFETCH(QString, caption);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        QVERIFY(!editor.rename(key, caption));
        QCOMPARE(treestring::fromTree(tree), kSample);
    }

    void recordsNameTheItemTheyWereWrittenFrom()
    {
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, kSample);
        const QString records = TreeEditor::recordsOf(*tree.item("a6"));
        QCOMPARE(records, QString(R"(|a1\G=a6+fclose|a6\G1=a9+fclose|a9\G2=a10+richtxt|)"));
        QCOMPARE(editor.itemOfRecords(records), tree.item("a6"));
        QCOMPARE(TreeEditor::recordsOf(*tree.item("a1")).left(14), QString(R"(|0\B=a1+root|a)"));

        QVERIFY(editor.rename("a10", "changed"));
        QCOMPARE(editor.itemOfRecords(records), nullptr); // out of date
        ItemTree other;
        treestring::buildTree(other, uR"(|0\B=a1+root|a1\G=a6+fclose|)");
        QCOMPARE(TreeEditor(other).itemOfRecords(records), nullptr); // another book's a6


        const QString g = R"(|a1\G=a6+fclose|)"; // a6 alone, as another book may hold it
        QVERIFY(editor.move("a9", MoveDirection::Left));
        QVERIFY(editor.move("a9", MoveDirection::Up)); // G holds nothing now
        QCOMPARE(editor.itemOfRecords(g), tree.item("a6"));
        for (const QString &damaged : {QString(), QString("|"), g.mid(1), g.chopped(1), QString(R"(|a1\G=a06+fclose|)"),
                                       QString(R"(|a1\G+a6=fclose|)"), g + "trailing"})
            QCOMPARE(editor.itemOfRecords(damaged), nullptr);
    }
};

QTEST_GUILESS_MAIN(TestTreeEditor)
#include "tst_treeeditor.moc"
