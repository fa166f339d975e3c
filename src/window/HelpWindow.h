#pragma once

#include <QWidget>

class QHelpEngine;
class QLineEdit;
class QTabWidget;
class QTextBrowser;

namespace kobin {

// The help viewer: the help file's contents or its keyword index beside the page shown.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // helpFile: the compiled help (kobin.qch); collectionFile: where the viewer keeps its catalogue.
    HelpWindow(const QString &helpFile, const QString &collectionFile, QWidget *parent = nullptr);
    ~HelpWindow() override;

    void showContents();
    void showKeywordSearch();
    bool isReady() const { return m_ready; }

private:
    void openPage(const QUrl &url);

    QHelpEngine *m_engine;
    QTabWidget *m_tabs;
    QLineEdit *m_keyword;
    QTextBrowser *m_page;
    bool m_ready = false;
};

} // namespace kobin
