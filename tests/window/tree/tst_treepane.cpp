#include "TreePane.h"
#include "TreeEditor.h"
#include "TreeString.h"

#include <QMimeData>
#include <QScrollBar>
#include <QtTest>

using namespace kobin;

// The mouse in the tree: which gestures choose an item, and what stays selected;
// and captions wider than the pane.
class TestTreePane : public QObject
{
    Q_OBJECT

private slots:
    // Keys of the items under the pointer at press, on the way and at release; "" is
    // empty space below the items, and no key on the way is no move. B (a1) is the
    // book item, which cannot be dragged; One (a2) is selected before. A drag here
    // ends at once, refused (the offscreen platform drops nothing).
    void theMouseChoosesOnlyTheItemItWentDownAndUpOn_data()
    {
        QTest::addColumn<QString>("press");
        QTest::addColumn<QStringList>("via");
        QTest::addColumn<QString>("release");
        QTest::addColumn<QStringList>("chosen");
        QTest::newRow("a click on an item") << "a3" << QStringList() << "a3" << QStringList({"a3"});
        QTest::newRow("a click on the selected item") << "a2" << QStringList() << "a2" << QStringList({"a2"});
        QTest::newRow("a click on empty space") << "" << QStringList() << "" << QStringList();
        QTest::newRow("the book item carried onto another") << "a1" << QStringList({"a3"}) << "a3" << QStringList();
        QTest::newRow("pressed on an item, let go on empty space") << "a3" << QStringList() << "" << QStringList();
        QTest::newRow("pressed on empty space, carried over items")
            << "" << QStringList({"a1", "a3"}) << "a3" << QStringList();
        QTest::newRow("an item dragged onto empty space") << "a3" << QStringList({""}) << "" << QStringList();
        QTest::newRow("an item dragged onto its own child") << "a3" << QStringList({"a4"}) << "a4" << QStringList();
    }
    void theMouseChoosesOnlyTheItemItWentDownAndUpOn()
    {
        QFETCH(QString, press);
        QFETCH(QStringList, via);
        QFETCH(QString, release);
        QFETCH(QStringList, chosen);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, u"|0\\B=a1+root|a1\\One=a2+richtxt|a1\\Two=a3+richtxt|a3\\Sub=a4+richtxt|");
        TreePane pane(tree, editor, [](const QString &) { return QIcon(); });
        pane.resize(200, 300);
        pane.expandAllItems();
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        tree.select(tree.item("a2"));
        QStringList clicked;
        connect(&pane, &TreePane::itemClicked, this, [&](TreeItem *item) { clicked << item->key(); });
        const auto at = [&](const QString &key) {
            return key.isEmpty() ? QPoint(100, pane.viewport()->height() - 5)
                                 : pane.visualRect(pane.itemModel().indexOf(tree.item(key))).center();
        };

        QTest::mousePress(pane.viewport(), Qt::LeftButton, {}, at(press));
        if (!via.isEmpty())
            QTest::mouseMove(pane.viewport(), at(press) + QPoint(1, 1)); // where a drag begins
        for (const QString &key : via)
            QTest::mouseMove(pane.viewport(), at(key));
        QTest::mouseRelease(pane.viewport(), Qt::LeftButton, {}, at(release));
        QCOMPARE(clicked, chosen);
        const QString selected = chosen.isEmpty() ? QString("a2") : chosen.last();
        QCOMPARE(tree.selectedItem()->key(), selected);
        // What the tree highlights is what the commands act on.
        QCOMPARE(pane.selectionModel()->selectedIndexes(),
                 QModelIndexList({pane.itemModel().indexOf(tree.item(selected))}));
    }

    // A caption wider than the pane is shown whole, reached by scrolling sideways; a short one needs no scrolling.
    void captionsAreShownWholeAndScrolledSideways()
    {
        const QString caption = QStringLiteral("サンプルブックのとても長い見出し");
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, QStringLiteral("|0\\%1=a1+root|a1\\X=a2+richtxt|").arg(caption));
        TreePane pane(tree, editor, [](const QString &) { return QIcon(); });
        pane.resize(133, 200);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        const QModelIndex book = pane.itemModel().index(0, 0);
        QVERIFY(pane.visualRect(book).width() > pane.fontMetrics().horizontalAdvance(caption));
        QTRY_VERIFY(pane.horizontalScrollBar()->isVisible());

        pane.resize(1000, 200);
        QTRY_VERIFY(!pane.horizontalScrollBar()->isVisible());
    }

    // A link dragged from a web browser, which offers to move it as well: copied onto the item under the pointer.
    void aForeignLinkIsCopiedOntoTheItemUnderThePointer_data()
    {
        QTest::addColumn<int>("offered");
        QTest::addColumn<QString>("onto");
        QTest::addColumn<bool>("taken");
        QTest::newRow("copy or move") << int(Qt::CopyAction | Qt::MoveAction) << "a3" << true;
        QTest::newRow("move only") << int(Qt::MoveAction) << "a3" << false;
        QTest::newRow("onto empty space") << int(Qt::CopyAction) << "" << false;
    }
    void aForeignLinkIsCopiedOntoTheItemUnderThePointer()
    {
        QFETCH(int, offered);
        QFETCH(QString, onto);
        QFETCH(bool, taken);
        ItemTree tree;
        TreeEditor editor(tree);
        treestring::buildTree(tree, u"|0\\B=a1+root|a1\\One=a2+richtxt|a1\\Two=a3+richtxt|");
        TreePane pane(tree, editor, [](const QString &) { return QIcon(); });
        pane.resize(200, 300);
        pane.expandAllItems();
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QStringList dropped;
        connect(&pane.itemModel(), &ItemTreeModel::linkDropped, this,
                [&](const QUrl &url, const QString &key) { dropped << url.toString() << key; });
        QMimeData data;
        data.setUrls({QUrl("https://example.com/a")});
        const QPoint at = onto.isEmpty() ? QPoint(100, pane.viewport()->height() - 5)
                                         : pane.visualRect(pane.itemModel().indexOf(tree.item(onto))).center();
        const auto actions = static_cast<Qt::DropActions>(offered);
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(pane.viewport(), &enter);
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(pane.viewport(), &move);
        QCOMPARE(move.isAccepted(), taken);
        QDropEvent drop(at, actions, &data, Qt::LeftButton, {});
        drop.setDropAction(Qt::MoveAction); // what a platform may propose, which would have the source deleted
        QApplication::sendEvent(pane.viewport(), &drop);
        QCOMPARE(drop.isAccepted(), taken);
        if (taken)
            QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QCOMPARE(dropped, taken ? QStringList({"https://example.com/a", onto}) : QStringList());
        QCOMPARE(treestring::fromTree(tree), QString("|0\\B=a1+root|a1\\One=a2+richtxt|a1\\Two=a3+richtxt|"));
    }
};

QTEST_MAIN(TestTreePane)
#include "tst_treepane.moc"
