#include "BrowserPane.h"
#include "CommandRegistry.h"
#include "Cp932.h"
#include "FakeFileDialogs.h"
#include "FakePrompter.h"
#include "TestFiles.h"
#include "TextCommands.h"
#include "TextPane.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

using namespace kobin;

class TestTextCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TextPane> m_pane;
    BrowserPane m_page; // never shown: these cases all act on the text
    std::unique_ptr<CommandRegistry> m_registry;
    FakeFileDialogs m_dialogs;
    FakePrompter m_prompter;
    QTemporaryDir m_dir;
    bool m_active = true;
    std::unique_ptr<TextCommands> m_commands;

    bool presence(int from, int to, const std::function<bool(const QTextCharFormat &)> &has) const
    {
        QTextCursor cursor(m_pane->document());
        for (int i = from; i < to; ++i) {
            cursor.setPosition(i + 1);
            if (!has(cursor.charFormat()))
                return false;
        }
        return true;
    }

    // Each paragraph: its text, and the list it is in (by first use) with its style and level.
    QStringList lists() const
    {
        QStringList out;
        QList<const QTextList *> seen;
        for (QTextBlock block = m_pane->document()->begin(); block.isValid(); block = block.next()) {
            const QTextList *list = block.textList();
            if (list && !seen.contains(list))
                seen.append(list);
            out << (list ? QStringLiteral("%1 list%2 style%3 level%4").arg(block.text()).arg(seen.indexOf(list))
                               .arg(int(list->format().style())).arg(list->format().indent())
                         : block.text() + QStringLiteral(" indent%1").arg(block.blockFormat().indent()));
        }
        return out;
    }

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
        m_registry = std::make_unique<CommandRegistry>();
        m_dialogs = FakeFileDialogs();
        m_prompter = FakePrompter();
        m_commands = std::make_unique<TextCommands>(*m_pane, m_page, *m_registry, m_dialogs, m_prompter,
                                                    [this] { return m_active; });
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
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan)); // whose long form reads "14時07分09秒"
        m_commands->insertTime();
        QLocale::setDefault(before);
        const QString time = m_pane->toPlainText();
        QVERIFY2(QRegularExpression("^(1?\\d|2[0-3]):[0-5]\\d:[0-5]\\d$").match(time).hasMatch(), qPrintable(time));
        m_commands->selectAll();
        QCOMPARE(m_pane->textCursor().selectedText(), time);
    }

    // The menu's mark, the button's pressed state and its mixed look, as one text.
    QString looks(Command style) const
    {
        return QString(m_registry->isChecked(style) ? "checked" : "-") + (m_registry->isPressed(style) ? " pressed" : "")
            + (m_registry->isMixed(style) ? " mixed" : "");
    }

    void stylesOnAloneArePressedAndTogetherMixed()
    {
        m_pane->setPlainText("plain text");
        select(0, 5);
        m_commands->toggleStyle(Command::Bold);
        QCOMPARE(looks(Command::Bold), QString("checked pressed"));
        QVERIFY(presence(0, 5, [](const QTextCharFormat &f) { return f.fontWeight() >= QFont::Bold; }));
        m_commands->toggleStyle(Command::Italic);
        QCOMPARE(looks(Command::Bold), QString("checked pressed mixed"));
        QCOMPARE(looks(Command::Italic), QString("checked mixed"));
        m_commands->toggleStyle(Command::Bold); // italic is left on alone: pressed again
        QCOMPARE(looks(Command::Bold), QString("-"));
        QCOMPARE(looks(Command::Italic), QString("checked pressed"));
        QVERIFY(!presence(0, 5, [](const QTextCharFormat &f) { return f.fontWeight() >= QFont::Bold; }));

        m_commands->toggleStyle(Command::Bold);
        m_commands->toggleStyle(Command::Underline);
        m_commands->toggleStyle(Command::Italic); // two left on together stay mixed
        QCOMPARE(looks(Command::Bold), QString("checked mixed"));
        QCOMPARE(looks(Command::Underline), QString("checked mixed"));

        m_active = false; // with the tree focused, nothing changes
        m_commands->toggleStyle(Command::Underline);
        QCOMPARE(looks(Command::Underline), QString("checked mixed"));
    }

    void aSelectionFollowsTheMarksButOnlyStylesClearTheMixedLook()
    {
        select(0, 10); // "Bold plain": bold in part
        m_commands->mirrorSelection();
        QCOMPARE(looks(Command::Bold), QString("checked mixed"));
        select(8, 8); // into the plain text
        QCOMPARE(looks(Command::Bold), QString("- mixed"));
        select(1, 2);
        QCOMPARE(looks(Command::Bold), QString("checked pressed mixed"));
        QCOMPARE(looks(Command::Italic), QString("-"));
    }

    void alignmentMarksFollowTheParagraphs()
    {
        m_pane->setPlainText("one\ntwo");
        select(0, 0);
        m_commands->align(Command::AlignCenter);
        QCOMPARE(m_pane->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        QVERIFY(m_registry->isChecked(Command::AlignCenter) && !m_registry->isChecked(Command::AlignLeft));
        select(0, 7); // paragraphs aligned differently: the marks stay
        QVERIFY(m_registry->isChecked(Command::AlignCenter));
        m_commands->align(Command::AlignCenter); // already marked: nothing, whatever the paragraphs say
        QCOMPARE(m_pane->document()->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
        select(5, 5);
        QVERIFY(m_registry->isChecked(Command::AlignLeft) && !m_registry->isChecked(Command::AlignCenter));
        m_active = false; // alignment does not ask which pane has the focus
        m_commands->align(Command::AlignRight);
        QVERIFY(m_registry->isChecked(Command::AlignRight));
    }

    // The pane's text is "Bold plain": a link is made of the selection, or put
    // in at the caret as its own address, in one step undo takes back.
    void linksAreMadeFromTheSelectionOrTheAddress_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("typed"); // "(cancel)": the dialog is cancelled
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("href"); // of the text from "from"
        QTest::addColumn<int>("messages");
        QTest::newRow("selection") << 5 << 10 << " https://example.jp/a " << "Bold plain" << "https://example.jp/a" << 0;
        QTest::newRow("address alone at the caret")
            << 4 << 4 << "example.jp" << "Boldhttp://example.jp plain" << "http://example.jp" << 0;
        QTest::newRow("mail address") << 0 << 4 << "mailto:a@example.jp" << "Bold plain" << "mailto:a@example.jp" << 0;
        QTest::newRow("Japanese address") << 0 << 4 << "https://例え.jp/日本" << "Bold plain"
                                          << "https://xn--r8jz45g.jp/%E6%97%A5%E6%9C%AC" << 0;
        QTest::newRow("cancelled") << 0 << 4 << "(cancel)" << "Bold plain" << "" << 0;
        QTest::newRow("nothing typed") << 0 << 4 << "  " << "Bold plain" << "" << 0;
        QTest::newRow("a file") << 0 << 4 << "file:///etc/passwd" << "Bold plain" << "" << 1;
        QTest::newRow("a script") << 0 << 4 << "javascript:alert(1)" << "Bold plain" << "" << 1;
    }

    void linksAreMadeFromTheSelectionOrTheAddress()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, href);
        QFETCH(int, messages);
        QStringList asked;
        m_commands->setAddressAsker([&](const QString &current) -> std::optional<QString> {
            asked << current;
            return typed == "(cancel)" ? std::nullopt : std::optional(typed);
        });
        select(from, to);
        m_commands->insertLink();
        QCOMPARE(asked, QStringList{QString()});
        QCOMPARE(m_pane->toPlainText(), text);
        QTextCursor cursor(m_pane->document());
        cursor.setPosition(from + 1);
        QCOMPARE(cursor.charFormat().anchorHref(), href);
        QCOMPARE(m_prompter.prompts.size(), messages);
        if (href.isEmpty())
            return;
        QVERIFY(cursor.charFormat().fontUnderline());
        QVERIFY(kobin::rtf::writeRtf(*m_pane->document()).contains("{\\field{\\*\\fldinst{HYPERLINK \"" + href.toUtf8() + "\"}}"));
        // The caret in the link: the address is offered again.
        m_commands->insertLink();
        QCOMPARE(asked.last(), href);
        m_pane->undo();
        m_pane->undo();
        QCOMPARE(m_pane->toPlainText(), QString("Bold plain"));
        cursor.setPosition(from + 1);
        QVERIFY(!cursor.charFormat().isAnchor());
    }

    // Only a click with Ctrl held follows a link; the mouse over one tells its address.
    void linksAreFollowedWithCtrlAndNamedUnderTheMouse()
    {
        m_pane->setHtml("<p>before <a href=\"https://example.jp/\">link</a> after</p>");
        m_pane->resize(400, 200);
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
        QSignalSpy hovered(m_pane.get(), &TextPane::linkHovered);
        QSignalSpy activated(m_pane.get(), &TextPane::linkActivated);
        QTextCursor cursor(m_pane->document());
        cursor.setPosition(9);
        const QPoint onLink = m_pane->cursorRect(cursor).center();
        cursor.setPosition(2);
        const QPoint offLink = m_pane->cursorRect(cursor).center();
        QMouseEvent move(QEvent::MouseMove, onLink, m_pane->viewport()->mapToGlobal(onLink), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_pane->viewport(), &move);
        QCOMPARE(hovered.size(), 1);
        QCOMPARE(hovered.last().first().toString(), QString("https://example.jp/"));
        QTest::mouseClick(m_pane->viewport(), Qt::LeftButton, Qt::NoModifier, onLink);
        QCOMPARE(activated.size(), 0);
        QCOMPARE(m_pane->linkAtCaret(), QString("https://example.jp/"));
        QTest::mouseClick(m_pane->viewport(), Qt::LeftButton, Qt::ControlModifier, onLink);
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.last().first().toString(), QString("https://example.jp/"));
        QTest::mouseClick(m_pane->viewport(), Qt::LeftButton, Qt::ControlModifier, offLink);
        QCOMPARE(activated.size(), 1);
        QCOMPARE(m_pane->linkAtCaret(), QString());
        QMouseEvent leave(QEvent::MouseMove, offLink, m_pane->viewport()->mapToGlobal(offLink), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_pane->viewport(), &leave);
        QCOMPARE(hovered.last().first().toString(), QString());
    }

    void openingATextFileReplacesThePaneWithItsPlainText()
    {
        const QString sjis = m_dir.filePath("memo.txt");
        writeText(sjis, encodeSystemText(QStringLiteral("ソフトの能力\r\n表計算")));
        m_dialogs.answers = {sjis};
        m_commands->openFile();
        QCOMPARE(m_dialogs.requests[0].title, QString("ファイル選択"));
        QCOMPARE(m_pane->toPlainText(), QString("ソフトの能力\n表計算"));
        QVERIFY(presence(0, 3, [](const QTextCharFormat &f) { return f.fontWeight() < QFont::Bold; }));

        const QString utf8 = m_dir.filePath("utf8.txt"); // not shown as mojibake
        writeText(utf8, QStringLiteral("ＵＴＦ－８のメモ").toUtf8());
        m_dialogs.answers = {utf8};
        m_commands->openFile();
        QCOMPARE(m_pane->toPlainText(), QString("ＵＴＦ－８のメモ"));

        const QString rtf = m_dir.filePath("note.rtf");
        writeText(rtf, "{\\rtf1\\ansi {\\b Bold} note\\par}");
        m_dialogs.answers = {rtf};
        m_commands->openFile();
        QCOMPARE(m_pane->toPlainText(), QString("Bold note"));
        QVERIFY(m_prompter.prompts.isEmpty());
    }

    void openingAFileIsOneStepThatUndoTakesBack()
    {
        m_pane->document()->clearUndoRedoStacks();
        QTest::keyClicks(m_pane.get(), "typed "); // history before the file stays too
        const QString rtf = m_dir.filePath("centred.rtf");
        writeText(rtf, "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\qc {\\b\\cf1 Red} one\\par\\ql two}");
        const QString txt = m_dir.filePath("plain.txt");
        writeText(txt, "plain\r\nlines");
        m_dialogs.answers = {rtf, txt};
        m_commands->openFile();
        QCOMPARE(m_pane->toPlainText(), QString("Red one\ntwo"));
        QCOMPARE(m_pane->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QVERIFY(presence(0, 3, [](const QTextCharFormat &f) {
            return f.fontWeight() >= QFont::Bold && f.foreground().color() == QColor(255, 0, 0);
        }));
        QCOMPARE(m_pane->textCursor().position(), 0);
        m_commands->openFile();
        QCOMPARE(m_pane->toPlainText(), QString("plain\nlines"));

        m_commands->undo();
        QCOMPARE(m_pane->toPlainText(), QString("Red one\ntwo"));
        m_commands->undo();
        QCOMPARE(m_pane->toPlainText(), QString("typed Bold plain"));
        QVERIFY(presence(6, 10, [](const QTextCharFormat &f) { return f.fontWeight() >= QFont::Bold; }));
        m_commands->redo();
        QCOMPARE(m_pane->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QVERIFY(!m_pane->replaceWithRichText(m_dir.filePath("missing.rtf")));
        QCOMPARE(m_pane->toPlainText(), QString("Red one\ntwo"));
        QVERIFY(m_pane->document()->isRedoAvailable()); // nothing was done in its place
    }

    void onlyTextAndRichTextFilesAreOpened()
    {
        const QString upper = m_dir.filePath("MEMO.TXT"); // the extension is compared exactly
        writeText(upper, "shouting");
        m_dialogs.answers = {upper, ""};
        m_commands->openFile();
        QCOMPARE(m_prompter.prompts.size(), 1);
        QCOMPARE(m_prompter.prompts[0].title, QString("注意"));
        QCOMPARE(m_prompter.prompts[0].text, QString("ﾃｷｽﾄﾌｧｲﾙ(*.txt) または ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(*.rtf)のみ読み込めます。"));
        QCOMPARE(m_pane->toPlainText(), QString("Bold plain"));
        m_commands->openFile(); // cancelled
        QCOMPARE(m_pane->toPlainText(), QString("Bold plain"));
        QCOMPARE(m_prompter.prompts.size(), 1);

        // Files that cannot be read as notes are named, and the note stays.
        const QString folder = m_dir.filePath("folder.txt");
        QVERIFY(QDir().mkpath(folder));
        const QString device = m_dir.filePath("zero.txt"); // would never end
        QVERIFY(QFile::link("/dev/zero", device));
        const QString notRtf = m_dir.filePath("plain.rtf");
        writeText(notRtf, "no rich text");
        for (const QString &path : {folder, notRtf, device}) {
            m_dialogs.answers = {path};
            m_commands->openFile();
            QCOMPARE(m_prompter.prompts.last().text, "「 " + path + " 」\n\nを読み込めません。");
        }
        QCOMPARE(m_prompter.prompts.size(), 4);
        QCOMPARE(m_pane->toPlainText(), QString("Bold plain"));
    }

    void aNoteLoadedIsShownFromTheTopInADocumentOfItsOwn()
    {
        QByteArray lines;
        for (int i = 0; i < 200; ++i)
            lines += "line\\par ";
        const QString first = m_dir.filePath("first.rtf");
        writeText(first, "{\\rtf1 " + lines + "end}");
        const QString second = m_dir.filePath("second.rtf");
        writeText(second, "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 red\\cf0 " + lines + "}");
        m_pane->setFont(QFont(m_pane->font().family(), 21));
        m_pane->resize(300, 200);
        m_pane->show();
        QVERIFY(m_pane->loadRichText(first));
        QScrollBar *scrollBar = m_pane->verticalScrollBar();
        scrollBar->setValue(scrollBar->maximum());
        QVERIFY(scrollBar->value() > 0);
        QTextCharFormat green;
        green.setForeground(Qt::green);
        m_pane->setCurrentCharFormat(green);

        QVERIFY(m_pane->loadRichText(second));
        QCOMPARE(scrollBar->value(), 0);
        QCOMPARE(m_pane->textCursor().position(), 0);
        QCOMPARE(m_pane->document()->defaultFont().pointSize(), 21);
        QCOMPARE(m_pane->document()->pageSize().width(), qreal(m_pane->viewport()->width()));
        QTest::keyClicks(m_pane.get(), "x"); // in the format found at the top, not the last note's
        QVERIFY(presence(0, 4, [](const QTextCharFormat &f) { return f.foreground().color() == QColor(255, 0, 0); }));
        QCOMPARE(m_pane->findChildren<QTextDocument *>().size(), 1); // the notes shown before are gone

        const QTextDocument *shown = m_pane->document();
        QVERIFY(!m_pane->loadRichText(m_dir.filePath("missing.rtf")));
        QCOMPARE(m_pane->document(), shown);
        QVERIFY(m_pane->toPlainText().startsWith("xredline\nline\n"));
    }

    // The table's cells' text by rows, "|" between cells.
    QStringList tableRows() const
    {
        QStringList rows;
        for (QTextFrame *frame : m_pane->document()->rootFrame()->childFrames()) {
            const auto *table = qobject_cast<QTextTable *>(frame);
            if (!table)
                continue;
            for (int r = 0; r < table->rows(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columns(); ++c) {
                    const QTextTableCell cell = table->cellAt(r, c);
                    QTextCursor text(m_pane->document());
                    text.setPosition(cell.firstPosition());
                    text.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
                    cells << text.selectedText();
                }
                rows << cells.join(u'|');
            }
        }
        return rows;
    }

    // 表の挿入 asks for rows×columns and refuses what is none; Tab goes from
    // cell to cell and adds a row after the last; the row and column commands
    // act on the caret's table only, each one step of undo.
    void tablesAreMadeAndEditedCellByCell()
    {
        m_commands->bindCommands();
        m_pane->setPlainText("a");
        select(1, 1);
        QVERIFY(!m_registry->isEnabled(Command::InsertRow, Surface::Menu));
        m_registry->run(Command::InsertRow); // outside a table: nothing
        QCOMPARE(m_pane->toPlainText(), QString("a"));
        QStringList answers = {"0×3", "2 x x", "1000×64", "2×2"};
        m_commands->setTableSizeAsker([&answers]() -> std::optional<QString> { return answers.takeFirst(); });
        for (int refused = 0; refused < 3; ++refused)
            QVERIFY(m_registry->run(Command::InsertTable));
        QCOMPARE(m_prompter.prompts.size(), 3);
        QVERIFY(m_prompter.prompts.last().text.startsWith("「 1000×64 」の表は作れません。"));
        QVERIFY(tableRows().isEmpty());
        QVERIFY(m_registry->run(Command::InsertTable));
        QCOMPARE(tableRows(), QStringList({"|", "|"}));
        QVERIFY(m_registry->isEnabled(Command::InsertRow, Surface::Menu));
        QTest::keyClicks(m_pane.get(), "t");
        QTest::keyClick(m_pane.get(), Qt::Key_Tab);
        QTest::keyClicks(m_pane.get(), "b");
        QTest::keyClick(m_pane.get(), Qt::Key_Tab);
        QTest::keyClicks(m_pane.get(), "c");
        QTest::keyClick(m_pane.get(), Qt::Key_Backtab); // selects b's cell, which typing replaces
        QTest::keyClicks(m_pane.get(), "B");
        QTest::keyClick(m_pane.get(), Qt::Key_Tab);
        QTest::keyClick(m_pane.get(), Qt::Key_Tab);
        QTest::keyClick(m_pane.get(), Qt::Key_Tab); // in the last cell: a new row
        QTest::keyClicks(m_pane.get(), "e");
        QCOMPARE(tableRows(), QStringList({"t|B", "c|", "e|"}));
        QVERIFY(m_registry->run(Command::InsertColumn));
        QCOMPARE(tableRows(), QStringList({"|t|B", "|c|", "|e|"}));
        m_pane->undo();
        QCOMPARE(tableRows(), QStringList({"t|B", "c|", "e|"}));
        QVERIFY(m_registry->run(Command::InsertRow));
        QCOMPARE(tableRows(), QStringList({"t|B", "c|", "|", "e|"}));
        QVERIFY(m_registry->run(Command::DeleteRow));
        QVERIFY(m_registry->run(Command::DeleteColumn));
        QCOMPARE(tableRows(), QStringList({"t", "c", ""}));
        m_pane->undo();
        QCOMPARE(tableRows(), QStringList({"t|B", "c|", "|"}));
        // The note written and read back keeps the table.
        QTextDocument copy;
        QVERIFY(kobin::rtf::readRtf(kobin::rtf::writeRtf(*m_pane->document()), copy));
        QCOMPARE(copy.rootFrame()->childFrames().size(), 1);
        QCOMPARE(qobject_cast<QTextTable *>(copy.rootFrame()->childFrames().first())->rows(), 3);
    }

    // Paragraphs "a", "b", "c": the list commands make and unmake lists of the
    // selection, each one step of undo; Tab at an item's start moves it in a
    // level, Shift+Tab out, elsewhere Tab is a tab.
    void listsAreMadeAndTheirLevelsChangedByTab()
    {
        m_commands->bindCommands();
        m_pane->setPlainText("a\nb\nc");
        select(0, 3);
        QVERIFY(m_registry->run(Command::Bullets));
        QCOMPARE(lists(), QStringList({"a list0 style-1 level1", "b list0 style-1 level1", "c indent0"}));
        QVERIFY(m_registry->run(Command::Numbering));
        QCOMPARE(lists(), QStringList({"a list0 style-4 level1", "b list0 style-4 level1", "c indent0"}));
        QVERIFY(m_registry->run(Command::Numbering));
        QCOMPARE(lists(), QStringList({"a indent0", "b indent0", "c indent0"}));
        m_pane->undo();
        QCOMPARE(lists(), QStringList({"a list0 style-4 level1", "b list0 style-4 level1", "c indent0"}));
        select(0, 5);
        QVERIFY(m_registry->run(Command::Bullets)); // the numbers become bullets, c joins them
        QCOMPARE(lists(), QStringList({"a list0 style-1 level1", "b list0 style-1 level1", "c list0 style-1 level1"}));
        select(2, 2);
        QTest::keyClick(m_pane.get(), Qt::Key_Tab);
        QTest::keyClick(m_pane.get(), Qt::Key_Tab);
        QCOMPARE(lists(), QStringList({"a list0 style-1 level1", "b list1 style-1 level3", "c list0 style-1 level1"}));
        QTest::keyClick(m_pane.get(), Qt::Key_Backtab);
        select(4, 4);
        QTest::keyClick(m_pane.get(), Qt::Key_Tab); // c joins b's level
        QCOMPARE(lists(), QStringList({"a list0 style-1 level1", "b list1 style-1 level2", "c list1 style-1 level2"}));
        QTest::keyClick(m_pane.get(), Qt::Key_Backtab); // and goes back to a's list
        QCOMPARE(lists(), QStringList({"a list0 style-1 level1", "b list1 style-1 level2", "c list0 style-1 level1"}));
        select(0, 0);
        QTest::keyClick(m_pane.get(), Qt::Key_Backtab);
        select(1, 1);
        QTest::keyClick(m_pane.get(), Qt::Key_Tab); // not at an item's start: a tab
        select(4, 4);
        QTest::keyClick(m_pane.get(), Qt::Key_Tab); // nor at the end of an item
        QCOMPARE(lists(), QStringList({"a\t indent0", "b\t list0 style-1 level2", "c list1 style-1 level1"}));
        select(0, 0);
        QTest::keyClick(m_pane.get(), Qt::Key_Tab); // no list: a tab
        QCOMPARE(m_pane->document()->firstBlock().text(), QString("\ta\t"));
    }

    void theRegistryReachesTheCommands()
    {
        m_commands->bindCommands();
        CommandRegistry &registry = *m_registry;
        select(0, 4);
        QVERIFY(registry.run(Command::EditCut));
        QCOMPARE(m_pane->toPlainText(), QString(" plain"));
        QVERIFY(registry.run(Command::EditSelectAll));
        QCOMPARE(m_pane->textCursor().selectedText(), QString(" plain"));
    }
};

QTEST_MAIN(TestTextCommands)
#include "tst_textcommands.moc"
