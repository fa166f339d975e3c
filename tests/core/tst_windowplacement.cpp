#include "WindowPlacement.h"

#include <QtTest>

using namespace kobin;

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void centred_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("options dialog") << QRect(0, 0, 1280, 800) << QSize(284, 314) << QPoint(498, 243);
        QTest::newRow("second screen") << QRect(1280, 0, 1920, 1080) << QSize(300, 201) << QPoint(2090, 439);
        QTest::newRow("larger than the screen") << QRect(0, 20, 1280, 780) << QSize(1400, 900) << QPoint(0, 20);
    }

    void centred()
    {
        QFETCH(QRect, area);
        QFETCH(QSize, window);
        QFETCH(QPoint, expected);
        QCOMPARE(centredIn(area, window), expected);
    }

    void beside_data()
    {
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QPoint>("expected");
        const QSize help(500, 400);
        QTest::newRow("right") << QRect(100, 50, 600, 500) << help << QPoint(700, 50);
        QTest::newRow("right, to the last pixel") << QRect(0, 50, 780, 500) << help << QPoint(780, 50);
        QTest::newRow("a pixel short on the right: left") << QRect(501, 50, 280, 300) << help << QPoint(1, 50);
        QTest::newRow("left, to the last pixel") << QRect(500, 50, 400, 300) << help << QPoint(0, 50);
        QTest::newRow("no room on either side: centred") << QRect(300, 50, 700, 500) << help << QPoint(390, 200);
        QTest::newRow("owner low on the screen") << QRect(0, 600, 300, 150) << help << QPoint(300, 400);
        QTest::newRow("owner above the screen") << QRect(0, -50, 300, 300) << help << QPoint(300, 0);
        QTest::newRow("taller than the screen") << QRect(0, 100, 300, 300) << QSize(500, 900) << QPoint(300, 0);
    }

    void beside()
    {
        QFETCH(QRect, owner);
        QFETCH(QSize, window);
        QFETCH(QPoint, expected);
        QCOMPARE(besideOwner(owner, window, QRect(0, 0, 1280, 800)), expected);
        // The same on a second screen to the right of the first.
        const QPoint shift(1280, 0);
        QCOMPARE(besideOwner(owner.translated(shift), window, QRect(shift, QSize(1280, 800))), expected + shift);
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
