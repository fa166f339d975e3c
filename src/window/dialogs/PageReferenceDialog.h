#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace kobin {

class PageReference;

// "ホームページ選択": the name of a homepage item and its page file, with the
// folder history and the reference button that opens a file dialog in the folder
// the history box names. OK (the default button) closes only when the reference
// accepts; ｷｬﾝｾﾙ, Escape and the close box cancel alike.
class PageReferenceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PageReferenceDialog(PageReference &reference, QWidget *parent = nullptr);

    void accept() override;
    void reject() override;

private:
    void choosePage();
    void showHistory();

    PageReference &m_reference;
    QLineEdit *m_name;
    QLineEdit *m_page;
    QComboBox *m_history;
};

} // namespace kobin
