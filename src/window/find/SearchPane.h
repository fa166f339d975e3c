#pragma once

#include "SearchResults.h"
#include "SearchText.h"

#include <QWidget>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;

namespace kobin::search {

// The results pane of a search in the whole book: the words to find, whether
// hiragana and katakana count as the same, one line per result (the item's
// place in the tree, where it matched, the text around the match with the match
// marked), and a footer with the count.
class SearchPane : public QWidget
{
    Q_OBJECT

public:
    using Row = SearchResults::Row;

    explicit SearchPane(QWidget *parent = nullptr);

    QString query() const;
    KanaMatching kana() const;
    void focusQuery();

    void showRows(const std::vector<Row> &rows);
    void setFooter(const QString &text);
    QTreeWidget *results() const { return m_results; }

signals:
    // The query or its options changed (a moment after typing stops, or at Enter).
    void queryChanged();
    void rowChosen(int row);

private:
    QLineEdit *m_query;
    QCheckBox *m_sameKana;
    QTreeWidget *m_results;
    QLabel *m_footer;
    QTimer *m_typing;
};

// The snippet as rich text, matches in bold on a marker colour.
QString markedSnippet(const QString &snippet, const std::vector<TextRange> &marks);

} // namespace kobin::search
