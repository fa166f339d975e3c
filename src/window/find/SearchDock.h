#pragma once

#include "SearchResults.h"

#include <QDockWidget>

namespace kobin::search {

class SearchPane;

// The results pane of the search in the whole book, docked in the main window
// (below the panes unless the user moves it).
class SearchDock : public QDockWidget, public SearchResults
{
    Q_OBJECT

public:
    explicit SearchDock(QWidget *parent = nullptr);

    SearchPane &pane() { return *m_pane; }

    QString query() const override;
    KanaMatching kana() const override;
    void open() override;
    bool isOpen() const override { return isVisible(); }
    void showRows(const std::vector<Row> &rows) override;
    void setFooter(const QString &footer) override;

private:
    SearchPane *m_pane;
};

} // namespace kobin::search
