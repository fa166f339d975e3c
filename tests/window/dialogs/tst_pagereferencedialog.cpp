#include "BookFixture.h"
#include "PageReference.h"
#include "PageReferenceDialog.h"
#include "TreeString.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace kobin;

class TestPageReferenceDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;

    PageReference::Services services()
    {
        return {f->book, f->display, f->prompter, f->dialogs, f->settings};
    }

    template <typename Widget>
    Widget *child(QWidget &dialog, const char *name)
    {
        auto *widget = dialog.findChild<Widget *>(QLatin1String(name));
        if (!widget)
            qWarning("no %s", name);
        return widget;
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        treestring::buildTree(f->tree, u"|0\\Book=a1+root|a1\\Web=a2+htmlfile|");
        writeText(f->dir.path() + "/web/index.html", "<html></html>");
        writeText(f->working("a2url.txt"), QFile::encodeName(f->dir.path() + "/web/index.html") + "\r\n");
        f->book.shown().setKey("a1");
    }

    void namingAndReferencingANewItem()
    {
        f->tree.select(f->tree.item("a1"));
        f->book.editor().add(ItemKind::Homepage, Placement::Child);
        PageReference reference(services(), ReferenceMode::NewItem, *f->tree.item("a3"));
        PageReferenceDialog dialog(reference);
        dialog.show();
        QCOMPARE(dialog.objectName(), QString("frmChangeURL"));
        QCOMPARE(dialog.windowTitle(), QString("ホームページ選択"));
        const QList<QPair<const char *, QString>> labels = {
            {"lblNodeName", "名前："},
            {"lblURL", "参照先："},
            {"lblRecentFolder", "フォルダ履歴："},
            {"lblInstruction", "参照するホームページファイル(*.htm or *.html)を選択して下さい。"},
            {"lblHistoryHint", "※「開いたフォルダ履歴」を選択して、「参照」ボタンを押すと、そのフォルダを開きます。"},
        };
        for (const auto &[name, text] : labels) {
            QLabel *label = child<QLabel>(dialog, name);
            QVERIFY(label);
            QCOMPARE(label->text(), text);
        }
        auto *name = child<QLineEdit>(dialog, "txtNodeName");
        auto *page = child<QLineEdit>(dialog, "txtURL");
        auto *history = child<QComboBox>(dialog, "cmbRecentFolder");
        auto *choose = child<QPushButton>(dialog, "cmdReference");
        auto *ok = child<QPushButton>(dialog, "cmdOK");
        auto *cancel = child<QPushButton>(dialog, "cmdCancel");
        QVERIFY(name && page && history && choose && ok && cancel);
        QCOMPARE(choose->text(), QString("参照 ..."));
        QCOMPARE(ok->text(), QString("OK"));
        QCOMPARE(cancel->text(), QString("ｷｬﾝｾﾙ"));
        QVERIFY(ok->isDefault());
        QVERIFY(name->text().isEmpty() && page->text().isEmpty());
        QCOMPARE(history->count(), 0);

        QTest::keyClicks(name, "My|Page");
        QCOMPARE(name->text(), QString("My｜Page"));
        QCOMPARE(f->tree.item("a3")->text(), QString("My｜Page")); // the tree follows every keystroke

        const QString chosen = f->dir.path() + "/web/index.html";
        f->dialogs.answers = {chosen};
        QTest::mouseClick(choose, Qt::LeftButton);
        QCOMPARE(page->text(), chosen);
        QCOMPARE(history->count(), 10);
        QCOMPARE(history->currentText(), f->dir.path() + "/web/");

        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(readText(f->working("a3url.txt")), QFile::encodeName(chosen) + "\r\n");
    }

    void theCloseBoxGivesTheCaptionBack()
    {
        f->tree.select(f->tree.item("a2"));
        PageReference reference(services(), ReferenceMode::Change, *f->tree.item("a2"));
        PageReferenceDialog dialog(reference);
        dialog.show();
        auto *name = child<QLineEdit>(dialog, "txtNodeName");
        QVERIFY(name);
        QCOMPARE(name->text(), QString("Web"));
        QCOMPARE(child<QLineEdit>(dialog, "txtURL")->text(), f->dir.path() + "/web/index.html");
        QCOMPARE(child<QComboBox>(dialog, "cmbRecentFolder")->currentText(), f->dir.path() + "/web/");
        QTest::keyClicks(name, " renamed");
        QCOMPARE(f->tree.item("a2")->text(), QString("Web renamed"));

        // OK refused (the warning cancelled): the dialog stays.
        f->prompter.answers = {PromptAnswer::Cancel};
        QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());

        dialog.close();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(f->tree.item("a2")->text(), QString("Web"));
    }
};

QTEST_MAIN(TestPageReferenceDialog)
#include "tst_pagereferencedialog.moc"
