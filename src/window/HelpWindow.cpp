#include "HelpWindow.h"

#include "Icons.h"

#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLineEdit>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kobin {

namespace {

// Shows pages straight out of the help file.
class HelpBrowser : public QTextBrowser
{
public:
    HelpBrowser(QHelpEngine *engine, QWidget *parent) : QTextBrowser(parent), m_engine(engine) {}

    QVariant loadResource(int type, const QUrl &name) override
    {
        if (name.scheme() == QLatin1String("qthelp"))
            return m_engine->fileData(name);
        return QTextBrowser::loadResource(type, name);
    }

private:
    QHelpEngine *m_engine;
};

const QString kNamespace = QStringLiteral("jp.kobin.help");

} // namespace

HelpWindow::HelpWindow(const QString &helpFile, const QString &collectionFile, QWidget *parent)
    : QWidget(parent, Qt::Window), m_engine(new QHelpEngine(collectionFile, this))
{
    setWindowTitle(QStringLiteral("Kobin ヘルプ"));
    setWindowIcon(programIcon());
    m_engine->setReadOnly(false); // registering the help file writes the catalogue
    m_ready = m_engine->setupData();
    if (m_ready && !m_engine->registeredDocumentations().contains(kNamespace))
        m_ready = m_engine->registerDocumentation(helpFile);

    m_tabs = new QTabWidget;
    m_tabs->addTab(m_engine->contentWidget(), QStringLiteral("目次"));
    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    m_keyword = new QLineEdit;
    m_keyword->setPlaceholderText(QStringLiteral("キーワードを入力"));
    indexLayout->addWidget(m_keyword);
    indexLayout->addWidget(m_engine->indexWidget());
    m_tabs->addTab(indexPage, QStringLiteral("キーワード"));
    m_page = new HelpBrowser(m_engine, this);

    auto *splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_page);
    splitter->setStretchFactor(1, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(900, 600);

    connect(m_engine->contentWidget(), &QHelpContentWidget::linkActivated, this, &HelpWindow::openPage);
    connect(m_engine->indexWidget(), &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink &link) { openPage(link.url); });
    connect(m_keyword, &QLineEdit::textChanged, m_engine->indexWidget(),
            [this](const QString &text) { m_engine->indexWidget()->filterIndices(text); });
    connect(m_keyword, &QLineEdit::returnPressed, m_engine->indexWidget(), &QHelpIndexWidget::activateCurrentItem);
    connect(m_engine->contentModel(), &QHelpContentModel::contentsCreated, this,
            [this] { m_engine->contentWidget()->expandToDepth(0); });
    // Closed as a reader closes a window it looked something up in.
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    m_engine->contentModel()->createContents(QString());
    m_engine->indexModel()->createIndex(QString());
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::openPage(const QUrl &url)
{
    m_page->setSource(url);
}

void HelpWindow::showContents()
{
    m_tabs->setCurrentIndex(0);
    openPage(QUrl(QStringLiteral("qthelp://jp.kobin.help/doc/index.html")));
    show();
    raise();
    activateWindow();
}

void HelpWindow::showKeywordSearch()
{
    m_tabs->setCurrentIndex(1);
    m_keyword->clear();
    if (m_page->source().isEmpty())
        openPage(QUrl(QStringLiteral("qthelp://jp.kobin.help/doc/index.html")));
    show();
    raise();
    activateWindow();
    m_keyword->setFocus();
}

} // namespace kobin
