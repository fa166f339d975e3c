#include "ItemTreeModel.h"
#include "TreeString.h"

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QtTest>
#include <memory>
#include <utility>
#include <vector>

using namespace kobin;

namespace {

// B a1
// ├ F a2 (folder): X a3 (text, holding X1 a8), Y a4 (text)
// ├ G a5 (folder): G1 a6 (folder, holding G2 a7)
// └ H a9 (homepage)
const QString kBook = QStringLiteral(R"(|0\B=a1+root|a1\F=a2+fclose|a2\X=a3+richtxt|a3\X1=a8+richtxt|)"
                                     R"(a2\Y=a4+richtxt|a1\G=a5+fclose|a5\G1=a6+fclose|a6\G2=a7+richtxt|)"
                                     R"(a1\H=a9+htmlfile|)");
constexpr char kMimeType[] = "application/x-kobin-tree-records";

// The model's items in pre-order, each indented by its depth, walked without recursion.
QStringList outline(const QAbstractItemModel &model)
{
    QStringList lines;
    std::vector<std::pair<QModelIndex, int>> pending;
    for (int row = model.rowCount() - 1; row >= 0; --row)
        pending.emplace_back(model.index(row, 0), 0);
    while (!pending.empty()) {
        const auto [index, depth] = pending.back();
        pending.pop_back();
        lines << QString(depth, u' ') + index.data().toString();
        for (int row = model.rowCount(index) - 1; row >= 0; --row)
            pending.emplace_back(model.index(row, 0, index), depth + 1);
    }
    return lines;
}

// The same outline read from the tree itself.
QStringList outline(const ItemTree &tree)
{
    QStringList lines;
    std::vector<std::pair<const TreeItem *, int>> pending;
    for (auto it = tree.topLevelItems().rbegin(); it != tree.topLevelItems().rend(); ++it)
        pending.emplace_back(*it, 0);
    while (!pending.empty()) {
        const auto [item, depth] = pending.back();
        pending.pop_back();
        lines << QString(depth, u' ') + item->text();
        for (auto it = item->children().rbegin(); it != item->children().rend(); ++it)
            pending.emplace_back(*it, depth + 1);
    }
    return lines;
}

QStringList childKeys(const TreeItem *item)
{
    QStringList keys;
    for (const TreeItem *child : item->children())
        keys << child->key();
    return keys;
}

// A book shown by the model, under the model tester, with every edit the model reports.
struct ShownBook {
    ItemTree tree;
    TreeEditor editor{tree};
    std::unique_ptr<ItemTreeModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
    std::vector<TreeEdit> reported;

    explicit ShownBook(const QString &treeString = kBook)
    {
        treestring::buildTree(tree, treeString);
        model = std::make_unique<ItemTreeModel>(tree, editor, [](const QString &) { return QIcon(); });
        tester = std::make_unique<QAbstractItemModelTester>(
            model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QObject::connect(model.get(), &ItemTreeModel::treeEdited,
                         [this](const TreeEdit &edit) { reported.push_back(edit); });
    }

    QModelIndex at(const QString &key) const { return model->indexOf(tree.item(key)); }
    std::unique_ptr<QMimeData> dragOf(const QString &key) const
    {
        return std::unique_ptr<QMimeData>(model->mimeData({at(key)}));
    }
};

std::unique_ptr<QMimeData> records(const QString &text)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(kMimeType, text.toUtf8());
    return data;
}

} // namespace

class TestItemTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void followsEveryEditOfTheTree()
    {
        ShownBook book;
        QCOMPARE(outline(*book.model), outline(book.tree));

        book.tree.select(book.tree.item("a2"));
        QVERIFY(book.editor.add(ItemKind::Folder, Placement::Child));
        QVERIFY(book.editor.add(ItemKind::Text, Placement::Beside));
        QVERIFY(book.editor.rename("a10", "New folder"));
        QCOMPARE(outline(*book.model), outline(book.tree));

        for (MoveDirection direction : {MoveDirection::Up, MoveDirection::RightNext, MoveDirection::Left,
                                        MoveDirection::Down, MoveDirection::RightPrevious}) {
            QVERIFY(book.editor.move("a5", direction));
            QCOMPARE(outline(*book.model), outline(book.tree));
        }
        QVERIFY(book.editor.dropOnto("a2", "a9"));
        QVERIFY(book.editor.dropOnto("a3", "a1"));
        QCOMPARE(outline(*book.model), outline(book.tree));
        QVERIFY(book.editor.remove("a2"));
        QVERIFY(book.editor.remove("a5"));
        QCOMPARE(outline(*book.model), outline(book.tree));
        QCOMPARE(book.model->index(0, 0).data().toString(), QString("B"));
        book.tree.clear();
        QCOMPARE(book.model->rowCount(), 0);
    }

    void indexesOutsideAMovedSubTreeStayValid()
    {
        ShownBook book;
        const QPersistentModelIndex outside = book.at("a4");
        const QPersistentModelIndex inside = book.at("a7");
        QVERIFY(book.editor.move("a5", MoveDirection::Up));
        QCOMPARE(book.model->itemAt(outside), book.tree.item("a4"));
        QVERIFY(!inside.isValid()); // the item was re-created
        QCOMPARE(book.model->itemAt(book.at("a7")), book.tree.item("a7"));
    }

    void everyItemCanBeRenamedAndDroppedOntoButTheBookItemNotDragged()
    {
        ShownBook book;
        const Qt::ItemFlags always = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDropEnabled;
        QCOMPARE(book.model->flags(book.at("a1")), always);
        QCOMPARE(book.model->flags(book.at("a2")), always | Qt::ItemIsDragEnabled);
        QCOMPARE(book.model->flags(book.at("a7")), always | Qt::ItemIsDragEnabled);
        QCOMPARE(book.model->flags(QModelIndex()), Qt::NoItemFlags); // no drop on empty space
        QCOMPARE(book.model->supportedDragActions(), Qt::DropActions(Qt::MoveAction));
        QCOMPARE(book.model->supportedDropActions(), Qt::DropActions(Qt::MoveAction));
        QCOMPARE(book.model->mimeTypes(), QStringList{kMimeType});
    }

    void editingACaptionRenamesTheItem()
    {
        ShownBook book;
        QSignalSpy changed(book.model.get(), &QAbstractItemModel::dataChanged);
        QVERIFY(book.model->setData(book.at("a4"), "新しい名前", Qt::EditRole));
        QCOMPARE(book.tree.item("a4")->text(), QString("新しい名前"));
        QCOMPARE(book.at("a4").data(Qt::EditRole).toString(), QString("新しい名前"));
        QVERIFY(!changed.isEmpty());
        QCOMPARE(changed.first().first().value<QModelIndex>(), book.at("a4"));
        QCOMPARE(book.reported.size(), size_t(1));
        QCOMPARE(book.reported[0].kind, TreeEdit::Kind::Rename);
        QCOMPARE(book.reported[0].key, QString("a4"));
        QCOMPARE(book.reported[0].oldCaption, QString("Y"));

        QVERIFY(book.model->setData(book.at("a1"), "本の題"));
        QCOMPARE(book.tree.item("a1")->text(), QString("本の題"));
    }

    void refusedCaptionsLeaveTheItemAlone()
    {
        ShownBook book;
        QVERIFY(!book.model->setData(book.at("a4"), QString(), Qt::EditRole));
        QVERIFY(!book.model->setData(book.at("a4"), "Y", Qt::EditRole));
        QVERIFY(!book.model->setData(book.at("a4"), "other", Qt::DisplayRole));
        QVERIFY(!book.model->setData(QModelIndex(), "other", Qt::EditRole));
        // What a view does to an item it believes it moved away: clear its data.
        QVERIFY(!book.model->setItemData(book.at("a4"), {{Qt::EditRole, QVariant()}}));
        QCOMPARE(book.tree.item("a4")->text(), QString("Y"));
        QVERIFY(book.reported.empty());
    }

    void draggedRecordsDropOntoAnotherItem()
    {
        ShownBook book;
        const std::unique_ptr<QMimeData> data = book.dragOf("a5");
        QVERIFY(data);
        QCOMPARE(QString::fromUtf8(data->data(kMimeType)),
                 QString(R"(|a1\G=a5+fclose|a5\G1=a6+fclose|a6\G2=a7+richtxt|)"));
        QVERIFY(book.model->canDropMimeData(data.get(), Qt::MoveAction, -1, 0, book.at("a2")));
        QVERIFY(book.model->dropMimeData(data.get(), Qt::MoveAction, -1, 0, book.at("a2")));
        QCOMPARE(childKeys(book.tree.item("a2")), QStringList({"a3", "a4", "a5"}));
        QCOMPARE(childKeys(book.tree.item("a5")), QStringList({"a6"}));
        QCOMPARE(book.tree.selectedItem(), book.tree.item("a5"));
        QCOMPARE(outline(*book.model), outline(book.tree));
        QCOMPARE(book.reported.size(), size_t(1));
        QCOMPARE(book.reported[0].kind, TreeEdit::Kind::Move);
        QCOMPARE(book.reported[0].key, QString("a5"));
        QCOMPARE(book.reported[0].oldParentKey, QString("a1"));
        QCOMPARE(book.reported[0].newParentKey, QString("a2"));

        // The drag data now describes the item where it was: it moves nothing more.
        QVERIFY(!book.model->dropMimeData(data.get(), Qt::MoveAction, -1, 0, book.at("a9")));
        QCOMPARE(book.tree.item("a5")->parent()->key(), QString("a2"));
    }

    void theBookItemGivesNoDragData()
    {
        ShownBook book;
        QVERIFY(!book.dragOf("a1"));
        QVERIFY(!book.model->mimeData({}));
        const std::unique_ptr<QMimeData> data(book.model->mimeData({book.at("a1"), book.at("a4")}));
        QCOMPARE(QString::fromUtf8(data->data(kMimeType)), TreeEditor::recordsOf(*book.tree.item("a4")));
    }

    void refusedDropsChangeNothing_data()
    {
        QTest::addColumn<QString>("dragged");    // key of an item of this book, or drag data itself
        QTest::addColumn<QString>("target");     // empty for the tree's empty space
        QTest::addColumn<int>("row");            // -1 on the target, else between its children
        QTest::addColumn<int>("action");
        QTest::newRow("onto its child") << "a5" << "a6" << -1 << int(Qt::MoveAction);
        QTest::newRow("onto its grandchild") << "a5" << "a7" << -1 << int(Qt::MoveAction);
        QTest::newRow("onto itself") << "a5" << "a5" << -1 << int(Qt::MoveAction);
        QTest::newRow("onto empty space") << "a5" << "" << -1 << int(Qt::MoveAction);
        QTest::newRow("between items") << "a5" << "a2" << 1 << int(Qt::MoveAction);
        QTest::newRow("copied") << "a5" << "a2" << -1 << int(Qt::CopyAction);
        QTest::newRow("another book's item") << R"(|a1\Other=a5+fclose|)" << "a2" << -1 << int(Qt::MoveAction);
        QTest::newRow("unknown item") << R"(|a1\G=a99+fclose|)" << "a2" << -1 << int(Qt::MoveAction);
        QTest::newRow("the book item") << kBook << "a2" << -1 << int(Qt::MoveAction);
        QTest::newRow("damaged data") << "|a1\\G=a5" << "a2" << -1 << int(Qt::MoveAction);
        QTest::newRow("no data") << "" << "a2" << -1 << int(Qt::MoveAction);
    }

    void refusedDropsChangeNothing()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(int, row);
        QFETCH(int, action);
        ShownBook book;
        const std::unique_ptr<QMimeData> data = dragged.startsWith(u'a') ? book.dragOf(dragged) : records(dragged);
        const auto dropAction = static_cast<Qt::DropAction>(action);
        const QModelIndex onto = target.isEmpty() ? QModelIndex() : book.at(target);
        QVERIFY(!book.model->canDropMimeData(data.get(), dropAction, row, 0, onto));
        QVERIFY(!book.model->dropMimeData(data.get(), dropAction, row, 0, onto));
        QCOMPARE(treestring::fromTree(book.tree), kBook);
        QVERIFY(book.reported.empty());
    }

    void dragDataOfAnotherFormatIsRefused()
    {
        ShownBook book;
        QMimeData text;
        text.setText(R"(|a1\G=a5+fclose|a5\G1=a6+fclose|a6\G2=a7+richtxt|)");
        QVERIFY(!book.model->canDropMimeData(&text, Qt::MoveAction, -1, 0, book.at("a2")));
        QVERIFY(!book.model->dropMimeData(&text, Qt::MoveAction, -1, 0, book.at("a2")));
        QVERIFY(!book.model->dropMimeData(nullptr, Qt::MoveAction, -1, 0, book.at("a2")));
        QCOMPARE(treestring::fromTree(book.tree), kBook);
    }

    // Another program's drag data: rows of URIs (text/uri-list) and a Firefox link.
    void foreignLinksAndPageFilesAreCopiedOntoAnItem_data()
    {
        QTest::addColumn<QStringList>("uris");
        QTest::addColumn<QString>("mozUrl");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("link");     // reported as dropped
        QTest::addColumn<QString>("pageFile"); // reported as dropped
        const int copy = int(Qt::CopyAction);
        QTest::newRow("a link") << QStringList({"https://example.com/a"}) << "" << copy << "a4"
                                << "https://example.com/a" << "";
        QTest::newRow("a link onto the book item") << QStringList({"http://example.com/"}) << "" << int(Qt::LinkAction)
                                                   << "a1" << "http://example.com/" << "";
        QTest::newRow("a Firefox link") << QStringList() << "https://example.com/b\nThe title" << copy << "a9"
                                        << "https://example.com/b" << "";
        QTest::newRow("the first web link") << QStringList({"ftp://example.com/", "https://example.com/c"}) << ""
                                            << copy << "a2" << "https://example.com/c" << "";
        QTest::newRow("a page file") << QStringList({"https://example.com/", "file:///saved/Page.HTM"}) << "" << copy
                                     << "a2" << "" << "/saved/Page.HTM";
        QTest::newRow("an MHTML file") << QStringList({"file:///saved/page.mhtml"}) << "" << copy << "a2" << ""
                                       << "/saved/page.mhtml";
        QTest::newRow("no page file") << QStringList({"file:///saved/notes.txt", "file:///saved/html"}) << "" << copy
                                      << "a2" << "" << "";
        QTest::newRow("moved") << QStringList({"https://example.com/a"}) << "" << int(Qt::MoveAction) << "a2" << ""
                               << "";
        QTest::newRow("onto empty space") << QStringList({"https://example.com/a"}) << "" << copy << "" << "" << "";
    }
    void foreignLinksAndPageFilesAreCopiedOntoAnItem()
    {
        QFETCH(QStringList, uris);
        QFETCH(QString, mozUrl);
        QFETCH(int, action);
        QFETCH(QString, target);
        QFETCH(QString, link);
        QFETCH(QString, pageFile);
        ShownBook book;
        QStringList reported;
        connect(book.model.get(), &ItemTreeModel::linkDropped, this,
                [&](const QUrl &url, const QString &key) { reported << url.toString() << key; });
        connect(book.model.get(), &ItemTreeModel::pageFileDropped, this,
                [&](const QString &file, const QString &key) { reported << file << key; });
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &uri : uris)
            urls << QUrl(uri);
        data.setUrls(urls);
        if (!mozUrl.isEmpty())
            data.setData("text/x-moz-url", QByteArray(reinterpret_cast<const char *>(mozUrl.utf16()), mozUrl.size() * 2));
        const auto dropAction = static_cast<Qt::DropAction>(action);
        const QModelIndex onto = target.isEmpty() ? QModelIndex() : book.at(target);
        const bool taken = !link.isEmpty() || !pageFile.isEmpty();
        QCOMPARE(book.model->canDropMimeData(&data, dropAction, -1, 0, onto), taken);
        QCOMPARE(book.model->canDropMimeData(&data, dropAction, 0, 0, onto), false); // between items
        QCOMPARE(book.model->dropMimeData(&data, dropAction, -1, 0, onto), taken);
        QCOMPARE(reported, taken ? QStringList({link + pageFile, target}) : QStringList());
        QCOMPARE(treestring::fromTree(book.tree), kBook);
        QVERIFY(book.reported.empty());
    }
};

QTEST_GUILESS_MAIN(TestItemTreeModel)
#include "tst_itemtreemodel.moc"
