#include "ButtonRows.h"
#include "ToolbarRows.h"

#include <QAction>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace kobin;

class TestToolbarRows : public QObject
{
    Q_OBJECT

private slots:
    void buttonsWrapOntoFurtherRows_data()
    {
        QTest::addColumn<QString>("entries"); // b: a button 30 wide, s: a separator 8 wide
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("places"); // left,top of each; "-" for one left out
        QTest::addColumn<int>("height");
        QTest::newRow("one row") << "bsb" << 68 << "0,0 30,0 38,0" << 20;
        QTest::newRow("wrapped") << "bbb" << 60 << "0,0 30,0 0,20" << 40;
        QTest::newRow("no separator begins a row") << "bbsb" << 60 << "0,0 30,0 - 0,20" << 40;
        QTest::newRow("narrower than a button") << "bb" << 10 << "0,0 0,20" << 40;
        QTest::newRow("empty") << "" << 60 << "" << 0;
    }

    void buttonsWrapOntoFurtherRows()
    {
        QFETCH(QString, entries);
        QFETCH(int, width);
        QFETCH(QString, places);
        QFETCH(int, height);
        QList<ButtonRowsEntry> given;
        for (QChar kind : entries)
            given.append(kind == u'b' ? ButtonRowsEntry{QSize(30, 20), false} : ButtonRowsEntry{QSize(8, 12), true});
        const ButtonRowsPlacement placed = placeInRows(given, width);
        QStringList shown;
        for (const QRect &place : placed.places)
            shown.append(place.isNull() ? QString("-") : QString("%1,%2").arg(place.left()).arg(place.top()));
        QCOMPARE(shown.join(' '), places);
        QCOMPARE(placed.height, height);
    }

    // Placed above another widget as in the main window: every button stays within it, none hidden.
    void aNarrowWindowShowsEveryButton()
    {
        QWidget window;
        auto *column = new QVBoxLayout(&window);
        column->setContentsMargins(0, 0, 0, 0);
        auto *toolbar = new ToolbarRows;
        column->addWidget(toolbar);
        column->addWidget(new QWidget, 1);
        for (int i = 0; i < 30; ++i) {
            toolbar->addAction(new QAction(QString::number(i), toolbar));
            if (i % 5 == 0)
                toolbar->addSeparator();
        }
        window.resize(300, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<QToolButton *> buttons = toolbar->findChildren<QToolButton *>();
        QCOMPARE(buttons.size(), 30);
        for (QToolButton *button : buttons)
            QVERIFY2(toolbar->rect().contains(button->geometry()), qPrintable(button->text()));
        QVERIFY(buttons.last()->y() > buttons.first()->y());
        window.resize(3000, 400); // one row again
        QTRY_COMPARE(buttons.last()->y(), buttons.first()->y());
        QCOMPARE(toolbar->height(), toolbar->heightForWidth(3000));

        toolbar->clear();
        QVERIFY(toolbar->findChildren<QWidget *>().isEmpty());
        QVERIFY(toolbar->actions().isEmpty());
    }
};

QTEST_MAIN(TestToolbarRows)
#include "tst_toolbarrows.moc"
