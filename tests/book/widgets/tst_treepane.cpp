#include "TreePane.h"
#include "TreeEditor.h"
#include "TreeString.h"

#include <QScrollBar>
#include <QtTest>

using namespace kobin;

class TestTreePane : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_MAIN(TestTreePane)
#include "tst_treepane.moc"
