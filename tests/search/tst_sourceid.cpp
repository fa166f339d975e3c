#include "SourceId.h"

#include <QtTest>

using namespace kobin::search;

Q_DECLARE_METATYPE(kobin::search::Place)

// The ids indexes already hold must come out the same, or every source of every
// book would be read again and its old entry left behind.
class TestSourceId : public QObject
{
    Q_OBJECT

private slots:
    void theStringFormIsTheOneIndexesHold_data()
    {
        QTest::addColumn<Place>("place");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("stored");
        QTest::newRow("caption") << Place::Caption << "a1" << QString() << "caption:a1";
        QTest::newRow("note") << Place::Note << "a1.rtf" << QString() << "note:a1.rtf";
        QTest::newRow("side text") << Place::SideText << "a2index.rtf" << QString() << "side:a2index.rtf";
        QTest::newRow("page") << Place::Page << "a2" << "/books/b/index.html" << "page:a2\n/books/b/index.html";
        QTest::newRow("page, no path") << Place::Page << "a2" << QString() << "page:a2\n";
        QTest::newRow("page path with line breaks and colons")
            << Place::Page << "a2" << "C:/x\n:y/page:a3\nz.htm" << "page:a2\nC:/x\n:y/page:a3\nz.htm";
        QTest::newRow("empty caption key") << Place::Caption << QString() << QString() << "caption:";
        QTest::newRow("key like another id") << Place::Caption << "page:a2" << QString() << "caption:page:a2";
        QTest::newRow("note name with a line break") << Place::Note << "a\n2.rtf" << QString() << "note:a\n2.rtf";
        QTest::newRow("Japanese") << Place::Page << "項目" << "/本/ページ.html" << "page:項目\n/本/ページ.html";
    }

    void theStringFormIsTheOneIndexesHold()
    {
        QFETCH(Place, place);
        QFETCH(QString, name);
        QFETCH(QString, path);
        QFETCH(QString, stored);
        QCOMPARE((SourceId{place, name, path}.toString()), stored);
    }
};

QTEST_MAIN(TestSourceId)
#include "tst_sourceid.moc"
