#include "SearchPane.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kobin::search {

namespace {

constexpr int kSnippetColumn = 2;
constexpr int kTypingPauseMs = 200;

// Draws a column's text as rich text, so that matches show marked.
class RichTextDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString html = item.text;
        item.text.clear();
        item.widget->style()->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        QTextDocument document;
        document.setDefaultFont(item.font);
        document.setDocumentMargin(1);
        document.setHtml(html);
        painter->save();
        painter->translate(item.rect.topLeft());
        painter->setClipRect(item.rect.translated(-item.rect.topLeft()));
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = item.palette;
        if (item.state & QStyle::State_Selected)
            context.palette.setColor(QPalette::Text, item.palette.color(QPalette::HighlightedText));
        document.documentLayout()->draw(painter, context);
        painter->restore();
    }
};

} // namespace

QString markedSnippet(const QString &snippet, const std::vector<TextRange> &marks)
{
    QString html;
    qsizetype at = 0;
    for (const TextRange &mark : marks) {
        if (mark.start < at)
            continue; // overlaps the mark before
        html += snippet.mid(at, mark.start - at).toHtmlEscaped();
        html += QStringLiteral("<b style=\"background-color:#ffe27a;color:#000\">")
                + snippet.mid(mark.start, mark.length).toHtmlEscaped() + QStringLiteral("</b>");
        at = mark.start + mark.length;
    }
    return html + snippet.mid(at).toHtmlEscaped();
}

SearchPane::SearchPane(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("searchPane"));
    m_query = new QLineEdit(this);
    m_query->setObjectName(QStringLiteral("txtSearchBook"));
    m_query->setPlaceholderText(QStringLiteral("検索する語（スペースで区切ると、すべてを含む項目を探します）"));
    m_query->setClearButtonEnabled(true);
    m_sameKana = new QCheckBox(QStringLiteral("ひらがなとカタカナを区別しない(&K)"), this);
    m_results = new QTreeWidget(this);
    m_results->setObjectName(QStringLiteral("lstSearchResults"));
    m_results->setColumnCount(3);
    m_results->setHeaderLabels({QStringLiteral("項目"), QStringLiteral("場所"), QStringLiteral("内容")});
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->setAllColumnsShowFocus(true);
    m_results->setItemDelegateForColumn(kSnippetColumn, new RichTextDelegate(m_results));
    m_results->header()->setStretchLastSection(true);
    m_results->setColumnWidth(0, 260);
    m_results->setColumnWidth(1, 110);
    m_footer = new QLabel(this);
    m_footer->setObjectName(QStringLiteral("lblSearchFooter"));
    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(kTypingPauseMs);

    auto *top = new QHBoxLayout;
    top->addWidget(m_query, 1);
    top->addWidget(m_sameKana);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 2);
    column->addLayout(top);
    column->addWidget(m_results, 1);
    column->addWidget(m_footer);

    connect(m_query, &QLineEdit::textEdited, m_typing, qOverload<>(&QTimer::start));
    connect(m_typing, &QTimer::timeout, this, &SearchPane::queryChanged);
    connect(m_query, &QLineEdit::returnPressed, this, [this] {
        m_typing->stop();
        emit queryChanged();
    });
    connect(m_sameKana, &QCheckBox::toggled, this, &SearchPane::queryChanged);
    connect(m_results, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { emit rowChosen(m_results->indexOfTopLevelItem(item)); });
    connect(m_results, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { emit rowChosen(m_results->indexOfTopLevelItem(item)); });
}

QString SearchPane::query() const
{
    return m_query->text();
}

KanaMatching SearchPane::kana() const
{
    return m_sameKana->isChecked() ? KanaMatching::Same : KanaMatching::Distinct;
}

void SearchPane::focusQuery()
{
    m_query->setFocus();
    m_query->selectAll();
}

void SearchPane::showRows(const std::vector<Row> &rows)
{
    m_results->clear();
    QList<QTreeWidgetItem *> items;
    for (const Row &row : rows) {
        auto *item = new QTreeWidgetItem({row.path, row.place, markedSnippet(row.snippet, row.marks)});
        item->setToolTip(0, row.path);
        item->setToolTip(kSnippetColumn, row.snippet);
        items.append(item);
    }
    m_results->addTopLevelItems(items);
}

void SearchPane::setFooter(const QString &text)
{
    m_footer->setText(text);
}

} // namespace kobin::search
