#include "BookFixture.h"
#include "BookOrganizer.h"
#include "BookOrganizerDialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace kobin;

class TestBookOrganizerDialog : public QObject
{
    Q_OBJECT

private slots:
    void tickingABookAndPressingDeleteRemovesIt()
    {
        BookFixture f;
        trashIn(f.dir.path());
        writeText(f.app("a.iis"), "");
        writeText(f.app("b.iis"), "");
        writeText(f.app("b/a1.rtf"), "note");
        BookOrganizer organizer(f.book, f.bookCommands, f.prompter);
        auto dialog = std::make_unique<BookOrganizerDialog>(organizer);
        dialog->show();
        QCOMPARE(dialog->windowTitle(), QString("Bookの整理"));
        auto *label = dialog->findChild<QLabel *>("Label1");
        QVERIFY(label);
        QCOMPARE(label->text(), QString("削除したいBookをﾁｪｯｸし、削除ボタンを押して下さい。Bookのファイル(*.iis)とテキストを"
                                        "保存しているフォルダを削除します。元に戻せませんので注意して下さい。"));
        auto *list = dialog->findChild<QListWidget *>("List1");
        auto *remove = dialog->findChild<QPushButton *>("cmdDelete");
        auto *close = dialog->findChild<QPushButton *>("cmdClose");
        QVERIFY(list && remove && close);
        QCOMPARE(remove->text(), QString("削除"));
        QCOMPARE(close->text(), QString("閉じる"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(), QString("b.iis"));
        QCOMPARE(list->item(1)->checkState(), Qt::Unchecked);

        list->setFocus();
        list->setCurrentRow(1);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(list->item(1)->checkState(), Qt::Checked);
        f.prompter.answers = {PromptAnswer::Cancel};
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->checkState(), Qt::Checked); // the tick is kept for another try

        f.prompter.answers = {PromptAnswer::Ok};
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(f.prompter.prompts.size(), 2);
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QString("a.iis"));
        QVERIFY(!QFile::exists(f.app("b.iis")) && !QFile::exists(f.app("b")));
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());

        // The next opening reads the program folder afresh.
        writeText(f.app("c.iis"), "");
        dialog = std::make_unique<BookOrganizerDialog>(organizer);
        list = dialog->findChild<QListWidget *>("List1");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(), QString("c.iis"));
    }
};

QTEST_MAIN(TestBookOrganizerDialog)
#include "tst_bookorganizerdialog.moc"
