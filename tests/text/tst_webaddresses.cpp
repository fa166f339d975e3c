#include "WebAddresses.h"

#include <QtTest>

class TestWebAddresses : public QObject
{
    Q_OBJECT

private slots:
    void onlyWebAndMailAddressesAreHandedOn_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("handedOn");
        QTest::newRow("https") << "https://example.jp/a?b=1#c" << true;
        QTest::newRow("http in capitals, spaces around") << "  HTTP://EXAMPLE.JP/ " << true;
        QTest::newRow("mailto") << "mailto:someone@example.jp" << true;
        QTest::newRow("Japanese path") << "https://example.jp/日本語" << true;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("javascript") << "javascript:alert(1)" << false;
        QTest::newRow("data") << "data:text/html,<b>x</b>" << false;
        QTest::newRow("a bookmark in the note") << "#top" << false;
        QTest::newRow("a relative path") << "folder/page.html" << false;
        QTest::newRow("a Windows path") << "C:\\Windows\\notepad.exe" << false;
        QTest::newRow("http without a host") << "http:///path" << false;
        QTest::newRow("mailto without an address") << "mailto:" << false;
        QTest::newRow("ftp") << "ftp://example.jp/" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("not an address") << "https://exa mple.jp/" << false;
    }

    void onlyWebAndMailAddressesAreHandedOn()
    {
        QFETCH(QString, address);
        QFETCH(bool, handedOn);
        QCOMPARE(kobin::isWebAddress(address), handedOn);
    }
};

QTEST_MAIN(TestWebAddresses)
#include "tst_webaddresses.moc"
