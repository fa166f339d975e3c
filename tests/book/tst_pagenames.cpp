#include "ContentNames.h"
#include "PageNames.h"

#include <QtTest>

using namespace kobin;

// Content file names: a side text's name from its key and page, and back.
class TestPageNames : public QObject
{
    Q_OBJECT

private slots:
    void aSideTextNameGivesBackItsPage_data()
    {
        QTest::addColumn<QString>("baseName");
        QTest::addColumn<QString>("contentId");
        QTest::newRow("a name") << "index" << "a5index";
        QTest::newRow("a number, set off") << "3" << "a5-3";
        QTest::newRow("a number and more") << "30abc" << "a5-30abc";
        QTest::newRow("a dash before a letter") << "-x" << "a5-x";
        QTest::newRow("a web page's") << "web0123456789abcdef" << "a5web0123456789abcdef";
    }

    void aSideTextNameGivesBackItsPage()
    {
        QFETCH(QString, baseName);
        QFETCH(QString, contentId);
        QCOMPARE(pageTextName("a5", baseName), contentId);
        QCOMPARE(ContentNames::keyOf(ContentNames::textFileName(contentId)), QString("a5"));
        QCOMPARE(pageBaseNameAfterKey(QStringView(contentId).mid(2)), baseName);
    }

    void onlyContentFilesHaveAKey_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::newRow("a note") << "a12.rtf" << "a12";
        QTest::newRow("a url file") << "a7url.txt" << "a7";
        QTest::newRow("a side text") << "a5-3.rtf" << "a5";
        QTest::newRow("too short for a suffix") << "a12" << "";
        QTest::newRow("no number") << "a.rtf" << "";
        QTest::newRow("another letter") << "b1.rtf" << "";
    }

    void onlyContentFilesHaveAKey()
    {
        QFETCH(QString, name);
        QFETCH(QString, key);
        QCOMPARE(ContentNames::keyOf(name), key);
    }
};

QTEST_GUILESS_MAIN(TestPageNames)
#include "tst_pagenames.moc"
