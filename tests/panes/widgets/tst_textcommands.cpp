#include "CommandRegistry.h"
#include "TextCommands.h"
#include "TextPane.h"

#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QMimeData>
#include <QTextCursor>
#include <QtTest>

using namespace kobin;

class TestTextCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TextPane> m_pane;
    bool m_active = true;
    std::unique_ptr<TextCommands> m_commands;

    void select(int from, int to)
    {
        QTextCursor cursor = m_pane->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        m_pane->setTextCursor(cursor);
    }

private slots:
    void init()
    {
        m_pane = std::make_unique<TextPane>();
        m_pane->setHtml("<b>Bold</b> plain");
        m_active = true;
        m_commands = std::make_unique<TextCommands>(*m_pane, [this] { return m_active; });
        QApplication::clipboard()->setText("before");
    }

    void onlyPlainTextTravelsThroughTheClipboard()
    {
        select(0, 4);
        m_commands->copy();
        const QMimeData *copied = QApplication::clipboard()->mimeData();
        QCOMPARE(copied->text(), QString("Bold"));
        QVERIFY(!copied->hasHtml());

        select(10, 10); // the end of the plain text
        m_commands->paste();
        QCOMPARE(m_pane->toPlainText(), QString("Bold plainBold"));
        QTextCursor cursor = m_pane->textCursor();
        cursor.setPosition(12);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal)); // the caret's format, not the copy's

        select(0, 5);
        m_commands->cut();
        QCOMPARE(m_pane->toPlainText(), QString("plainBold"));
        QCOMPARE(QApplication::clipboard()->text(), QString("Bold "));
    }

    void deleteLeavesTheClipboardAlone()
    {
        select(0, 5);
        m_commands->deleteSelection();
        QCOMPARE(m_pane->toPlainText(), QString("plain"));
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
        m_commands->undo();
        QCOMPARE(m_pane->toPlainText(), QString("Bold plain"));
        m_commands->redo();
        QCOMPARE(m_pane->toPlainText(), QString("plain"));
    }

    void nothingHappensWhileTheTreeHasTheFocus()
    {
        m_active = false;
        select(0, 4);
        m_commands->cut();
        m_commands->deleteSelection();
        m_commands->insertDate();
        m_commands->paste();
        m_commands->selectAll();
        QCOMPARE(m_pane->toPlainText(), QString("Bold plain"));
        QCOMPARE(m_pane->textCursor().selectedText(), QString("Bold"));
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
    }

    void dateAndTimeGoInAtTheCaret()
    {
        select(10, 10);
        m_commands->insertDate();
        const QString date = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
        QCOMPARE(m_pane->toPlainText(), "Bold plain" + date);
        m_pane->clear();
        m_commands->insertTime();
        const QString time = m_pane->toPlainText();
        QVERIFY2(time.contains(QRegularExpression("\\d\\d")), qPrintable(time)); // the seconds are there
        QVERIFY2(!time.contains("UTC") && !time.contains("JST"), qPrintable(time)); // the zone is not
        m_commands->selectAll();
        QCOMPARE(m_pane->textCursor().selectedText(), time);
    }

    void theRegistryReachesTheCommands()
    {
        CommandRegistry registry;
        m_commands->bindCommands(registry);
        select(0, 4);
        QVERIFY(registry.run(Command::EditCut));
        QCOMPARE(m_pane->toPlainText(), QString(" plain"));
        QVERIFY(registry.run(Command::EditSelectAll));
        QCOMPARE(m_pane->textCursor().selectedText(), QString(" plain"));
    }
};

QTEST_MAIN(TestTextCommands)
#include "tst_textcommands.moc"
