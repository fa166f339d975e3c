#include "CaptureDialog.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

using namespace kobin;

// The capture dialog built offscreen: what the user chooses is the choice OK hands on.
class TestCaptureDialog : public QObject
{
    Q_OBJECT

private slots:
    void theChoiceIsWhatTheUserChose_data()
    {
        QTest::addColumn<bool>("besideOffered");
        QTest::addColumn<QStringList>("clicked"); // radio buttons, by object name
        QTest::addColumn<int>("placement");
        QTest::addColumn<int>("format");
        const int child = int(Placement::Child);
        const int complete = int(capture::Format::CompletePage);
        QTest::newRow("as it opens") << true << QStringList() << child << complete;
        QTest::newRow("beside, one file") << true << QStringList({"optBeside", "optSingleFile"})
                                          << int(Placement::Beside) << int(capture::Format::SingleFile);
        QTest::newRow("beside not offered") << false << QStringList({"optBeside"}) << child << complete;
    }
    void theChoiceIsWhatTheUserChose()
    {
        QFETCH(bool, besideOffered);
        QFETCH(QStringList, clicked);
        QFETCH(int, placement);
        QFETCH(int, format);
        QList<CaptureChoice> offered;
        bool acceptable = false;
        CaptureChoice start;
        start.address = "https://example.com/";
        CaptureDialog dialog(start, besideOffered, [&](const CaptureChoice &choice) {
            offered << choice;
            return acceptable;
        });
        dialog.show();
        QCOMPARE(dialog.findChild<QLineEdit *>("txtAddress")->text(), QString("https://example.com/"));
        for (const QString &name : clicked)
            QTest::mouseClick(dialog.findChild<QRadioButton *>(name), Qt::LeftButton);
        QTest::keyClicks(dialog.findChild<QLineEdit *>("txtNodeName"), "A|B");
        dialog.accept(); // refused: the dialog stays
        QVERIFY(dialog.isVisible());
        acceptable = true;
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(offered.size(), 2);
        QCOMPARE(offered[1].address, QString("https://example.com/"));
        QCOMPARE(offered[1].name, QString("A｜B"));
        QCOMPARE(int(offered[1].placement), placement);
        QCOMPARE(int(offered[1].format), format);
    }
};

QTEST_MAIN(TestCaptureDialog)
#include "tst_capturedialog.moc"
