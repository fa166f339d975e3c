#include "ItemTree.h"

#include <QtTest>

using namespace kobin;

namespace {

QStringList keysInIndexOrder(const ItemTree &tree)
{
    QStringList keys;
    for (int i = 1; i <= tree.count(); ++i)
        keys << tree.item(i)->key();
    return keys;
}

QStringList childKeys(const TreeItem *item)
{
    QStringList keys;
    for (const TreeItem *child : item->children())
        keys << child->key();
    return keys;
}

// Book a1 with folder a2 (children a4, a5) and text a3.
void buildSample(ItemTree &tree)
{
    tree.add(nullptr, Relationship::Last, "a1", "Book", "root");
    tree.add("a1", Relationship::Child, "a2", "Folder", "fclose", "fopen");
    tree.add("a1", Relationship::Child, "a3", "Text", "richtxt", "SelectedRichtxt");
    tree.add("a2", Relationship::Child, "a4", "Inner", "richtxt");
    tree.add("a2", Relationship::Child, "a5", "Page", "htmlfile");
}

// Writes every notification it gets, with its name, into a log shared by all observers.
class LoggingObserver : public ItemTreeObserver
{
public:
    LoggingObserver(const ItemTree &tree, QStringList &log, const QString &name)
        : m_tree(tree), m_log(log), m_name(name)
    {
    }

    void itemAboutToBeAdded(TreeItem *parent, int row) override
    {
        write(QStringLiteral("adding %1 %2").arg(parent ? parent->key() : QStringLiteral("top")).arg(row));
    }
    void itemAdded(TreeItem *item) override { write("added " + item->key()); }
    void itemAboutToBeRemoved(TreeItem *item) override
    {
        // Still in the tree while observers are told it is about to go.
        write("removing " + item->key() + (m_tree.item(item->key()) ? "" : " (already gone)"));
    }
    void itemRemoved() override { write("removed"); }
    void treeAboutToBeCleared() override { write(QStringLiteral("clearing %1").arg(m_tree.count())); }
    void treeCleared() override { write(QStringLiteral("cleared %1").arg(m_tree.count())); }
    void itemChanged(TreeItem *item) override { write("changed " + item->key() + " " + item->text()); }
    void selectionChanged(TreeItem *item) override { write("selected " + (item ? item->key() : QStringLiteral("none"))); }

private:
    void write(const QString &entry) { m_log << m_name + ": " + entry; }

    const ItemTree &m_tree;
    QStringList &m_log;
    QString m_name;
};

} // namespace

class TestItemTree : public QObject
{
    Q_OBJECT

private slots:
    void addPlacesItemsByRelationship()
    {
        ItemTree tree;
        buildSample(tree);
        QVERIFY(tree.add("a4", Relationship::Next, "a6", "after a4", "richtxt"));
        QVERIFY(tree.add("a4", Relationship::Previous, "a7", "before a4", "richtxt"));
        QVERIFY(tree.add("a4", Relationship::Last, "a8", "last sibling", "richtxt"));
        QCOMPARE(childKeys(tree.item("a2")), QStringList({"a7", "a4", "a6", "a5", "a8"}));
        QCOMPARE(tree.item("a6")->row(), 2);
        QCOMPARE(tree.item("a5")->row(), 3);
        QCOMPARE(tree.item("a7")->parent(), tree.item("a2"));
        QCOMPARE(tree.item("a1")->parent(), nullptr);
    }

    void addFailsAndChangesNothing_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<int>("relationship");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("image");
        QTest::newRow("key in use") << "a1" << 4 << "a3" << "richtxt";
        QTest::newRow("relative missing") << "a99" << 4 << "a9" << "richtxt";
        QTest::newRow("image not in the list") << "a1" << 4 << "a9" << "picture";
        QTest::newRow("key with leading zero") << "a1" << 4 << "a09" << "richtxt";
        QTest::newRow("key naming a path") << "a1" << 4 << "a1/../x" << "richtxt";
        QTest::newRow("key beyond 32 bits") << "a1" << 4 << "a2147483648" << "richtxt";
        QTest::newRow("empty key") << "a1" << 4 << "" << "richtxt";
        QTest::newRow("sibling without relative") << "" << 2 << "a9" << "richtxt";
    }

    void addFailsAndChangesNothing()
    {
        QFETCH(QString, relative);
        QFETCH(int, relationship);
        QFETCH(QString, key);
        QFETCH(QString, image);
        ItemTree tree;
        buildSample(tree);
        QCOMPARE(tree.add(relative, static_cast<Relationship>(relationship), key, "x", image), nullptr);
        QCOMPARE(tree.count(), 5);
        QCOMPARE(keysInIndexOrder(tree), QStringList({"a1", "a2", "a3", "a4", "a5"}));
    }

    void removeTakesTheWholeSubTreeAndClosesIndexGaps()
    {
        ItemTree tree;
        buildSample(tree);
        tree.add("a3", Relationship::Child, "a6", "under text", "richtxt");
        tree.select(tree.item("a4"));
        QVERIFY(tree.remove(QStringLiteral("a2")));
        QCOMPARE(tree.count(), 3);
        QCOMPARE(keysInIndexOrder(tree), QStringList({"a1", "a3", "a6"}));
        QCOMPARE(tree.item(3)->index(), 3);
        QCOMPARE(tree.item("a4"), nullptr);
        QCOMPARE(tree.selectedItem(), nullptr);
        QCOMPARE(tree.item("a3")->row(), 0);
        QVERIFY(tree.remove(2));
        QCOMPARE(keysInIndexOrder(tree), QStringList({"a1"}));
        QVERIFY(!tree.remove(QStringLiteral("a3")));
        QVERIFY(!tree.remove(7));
    }

    void relativesFollowSiblingOrder()
    {
        ItemTree tree;
        buildSample(tree);
        const TreeItem *folder = tree.item("a2");
        QCOMPARE(folder->childCount(), 2);
        QCOMPARE(folder->child()->key(), QString("a4"));
        QCOMPARE(folder->next()->key(), QString("a3"));
        QCOMPARE(folder->next()->next(), nullptr);
        QCOMPARE(folder->previous(), nullptr);
        QCOMPARE(tree.item("a3")->previous(), folder);
        QCOMPARE(tree.item("a4")->lastSibling()->key(), QString("a5"));
        QCOMPARE(tree.item("a5")->firstSibling()->key(), QString("a4"));
        QCOMPARE(tree.item("a1")->lastSibling(), tree.item("a1"));
    }

    void newKeysTakeTheSmallestFreeNumber()
    {
        ItemTree tree;
        tree.add(nullptr, Relationship::Last, "a1", "Book", "root");
        QCOMPARE(tree.nextFreeKey(), QString("a2"));
        tree.add("a1", Relationship::Child, "a2", "", "richtxt");
        tree.add("a1", Relationship::Child, "a3", "", "richtxt");
        tree.remove(QStringLiteral("a2"));
        QCOMPARE(tree.nextFreeKey(), QString("a2"));
        tree.add("a1", Relationship::Child, tree.nextFreeKey(), "", "richtxt");
        QCOMPARE(tree.nextFreeKey(), QString("a4"));
        tree.add("a1", Relationship::Child, "a5", "", "richtxt");
        tree.add("a1", Relationship::Child, "a4", "", "richtxt"); // joins two runs
        QCOMPARE(tree.nextFreeKey(), QString("a6"));
        tree.remove(QStringLiteral("a1"));
        QCOMPARE(tree.nextFreeKey(), QString("a1"));
    }

    void keysStayFreeAfterClear()
    {
        ItemTree tree;
        buildSample(tree);
        tree.clear();
        QCOMPARE(tree.count(), 0);
        QCOMPARE(tree.item("a1"), nullptr);
        QVERIFY(tree.add(nullptr, Relationship::Last, "a1", "New", "root"));
        QCOMPARE(tree.nextFreeKey(), QString("a2"));
    }

    void ensureVisibleExpandsEveryAncestor()
    {
        ItemTree tree;
        buildSample(tree);
        tree.ensureVisible(tree.item("a4"));
        QVERIFY(tree.item("a1")->isExpanded());
        QVERIFY(tree.item("a2")->isExpanded());
        QVERIFY(!tree.item("a4")->isExpanded());
        QVERIFY(!tree.item("a3")->isExpanded());
    }

    void everyObserverIsToldOfEveryChangeInOrder()
    {
        ItemTree tree;
        QStringList log;
        LoggingObserver view(tree, log, "view"), index(tree, log, "index");
        tree.addObserver(&view);
        tree.addObserver(&index);
        buildSample(tree);
        log.clear();

        tree.add("a1", Relationship::Child, "a6", "New", "richtxt");
        tree.setText(tree.item("a6"), "Named");
        tree.select(tree.item("a4"));
        tree.remove(QStringLiteral("a2")); // takes the selection with it
        tree.clear();
        QCOMPARE(log, QStringList({
                          "view: adding a1 2", "index: adding a1 2",
                          "view: added a6", "index: added a6",
                          "view: changed a6 Named", "index: changed a6 Named",
                          "view: selected a4", "index: selected a4",
                          "view: removing a2", "index: removing a2",
                          "view: removed", "index: removed",
                          "view: selected none", "index: selected none",
                          "view: clearing 3", "index: clearing 3",
                          "view: cleared 0", "index: cleared 0",
                      }));

        log.clear();
        tree.removeObserver(&view);
        tree.add(nullptr, Relationship::Last, "a1", "Book", "root");
        QCOMPARE(log, QStringList({"index: adding top 0", "index: added a1"}));
        tree.removeObserver(&index);
        tree.remove(QStringLiteral("a1"));
        QCOMPARE(log.size(), 2);
    }

    void deepTreesAreRemovedWithoutRecursion()
    {
        ItemTree tree;
        tree.add(nullptr, Relationship::Last, "a1", "Book", "root");
        for (int i = 2; i <= 200000; ++i)
            tree.add(QStringLiteral("a%1").arg(i - 1), Relationship::Child, QStringLiteral("a%1").arg(i), "", "fclose");
        QVERIFY(tree.remove(QStringLiteral("a2")));
        QCOMPARE(tree.count(), 1);
        QCOMPARE(tree.nextFreeKey(), QString("a2"));
    }
};

QTEST_GUILESS_MAIN(TestItemTree)
#include "tst_itemtree.moc"
