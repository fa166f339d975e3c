#include "BrowserPane.h"
#include "WebEngineSurface.h"
#include "CommandRegistry.h"
#include "EventLoopWait.h"
#include "FakeFileDialogs.h"
#include "FakePrompter.h"
#include "PageReports.h"
#include "TestFiles.h"
#include "TextCommands.h"
#include "TextPane.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QtTest>

using namespace kobin;

namespace {

// The engine starts slowly under the sanitizers.
constexpr int kTimeout = 90000;

} // namespace

// The Edit menu's commands and the page's own menu on a real page.
class TestPageEditing : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QWidget m_window;
    TextPane *m_text = nullptr;
    BrowserPane *m_page = nullptr;
    CommandRegistry m_registry;
    FakeFileDialogs m_dialogs;
    FakePrompter m_prompter;
    std::unique_ptr<TextCommands> m_commands;

    QWidget *pageInput() const { return m_page->findChild<QWebEngineView *>()->focusProxy(); }

    // The texts of the page's menu opened by a right click at point.
    QStringList contextMenuAt(QPoint point)
    {
        QTest::mouseClick(pageInput(), Qt::RightButton, {}, point);
        QMenu *menu = nullptr;
        if (!waitUntil([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); }, kTimeout))
            return {QStringLiteral("<no menu>")};
        QStringList texts;
        for (const QAction *action : menu->actions()) {
            if (action->isVisible() && !action->isSeparator())
                texts.append(action->text());
        }
        menu->close();
        return texts;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        auto *layout = new QHBoxLayout(&m_window);
        m_text = new TextPane;
        m_page = new BrowserPane;
        onWebEngine(*m_page);
        layout->addWidget(m_text);
        layout->addWidget(m_page);
        m_window.resize(1000, 500);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
        m_commands = std::make_unique<TextCommands>(*m_text, *m_page, m_registry, m_dialogs, m_prompter,
                                                    [] { return true; });
        m_commands->bindCommands();
        writeText(m_dir.filePath("page.html"),
                  R"(<!DOCTYPE html><meta charset="utf-8"><style>body, p { margin: 0; font-size: 40px; line-height: 50px }</style>
                     <p id="words">保存したページの文</p><p><a href="other.html">別のページ</a></p>
                     <script>document.title = 'done {}';</script>)");
        QVERIFY(openAndWaitForReport(*m_page, QUrl::fromLocalFile(m_dir.filePath("page.html")), kTimeout));
    }

    // Keys and menu alike: the page that has the focus is copied from, the note only when it has the focus.
    void copyAndSelectAllTakeThePageThatHasTheFocus()
    {
        m_text->setPlainText("note");
        m_text->selectAll();
        QApplication::clipboard()->setText("before");
        pageInput()->setFocus();
        QVERIFY(waitUntil([this] { return m_page->hasFocusedPage(); }, kTimeout));
        QVERIFY(m_registry.run(Command::EditSelectAll));
        QVERIFY(m_registry.run(Command::EditCopy));
        const QString pageText = QStringLiteral("保存したページの文\n\n別のページ");
        QVERIFY2(waitUntil([&] { return QApplication::clipboard()->text() == pageText; }, kTimeout),
                 qPrintable(QApplication::clipboard()->text()));
        QCOMPARE(m_text->textCursor().selectedText(), QString("note"));

        m_text->setFocus();
        QVERIFY(waitUntil([this] { return !m_page->hasFocusedPage(); }, kTimeout));
        QVERIFY(m_registry.run(Command::EditPaste)); // over the note's own selection
        QCOMPARE(m_text->toPlainText(), pageText);
    }

    void thePageMenuSpeaksJapaneseAndOffersNoWindowsOrDownloads_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("page") << QPoint(400, 400) << false << QStringList{"戻る(&B)", "進む(&O)", "更新(&R)"};
        QTest::newRow("selection") << QPoint(40, 25) << true << QStringList{"コピー(&C)"};
        QTest::newRow("link") << QPoint(40, 75) << false << QStringList{"戻る(&B)", "進む(&O)", "更新(&R)", "リンクのアドレスをコピー(&L)"};
    }

    void thePageMenuSpeaksJapaneseAndOffersNoWindowsOrDownloads()
    {
        QFETCH(QPoint, point);
        QFETCH(bool, selected);
        QFETCH(QStringList, texts);
        pageInput()->setFocus();
        QVERIFY(waitUntil([this] { return m_page->hasFocusedPage(); }, kTimeout));
        m_page->findChild<QWebEngineView *>()->page()->triggerAction(selected ? QWebEnginePage::SelectAll : QWebEnginePage::Unselect);
        QCOMPARE(contextMenuAt(point).join(" | "), texts.join(" | "));
    }

    void thePageMenuEndsWithTheProgramsOwnActions()
    {
        QAction capture(QStringLiteral("このページを取り込む(&C)"));
        m_page->setContextActions({&capture});
        pageInput()->setFocus();
        QVERIFY(waitUntil([this] { return m_page->hasFocusedPage(); }, kTimeout));
        m_page->findChild<QWebEngineView *>()->page()->triggerAction(QWebEnginePage::Unselect);
        const QStringList texts = contextMenuAt(QPoint(400, 400));
        m_page->setContextActions({});
        QCOMPARE(texts.join(" | "), QString("戻る(&B) | 進む(&O) | 更新(&R) | このページを取り込む(&C)"));
    }
};

QTEST_MAIN(TestPageEditing)
#include "tst_pageediting.moc"
