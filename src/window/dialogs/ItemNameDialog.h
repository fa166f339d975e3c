#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

namespace kobin {

// The item name dialog: one line for the name of an item just added, OK (the
// default button) and ｷｬﾝｾﾙ; the close box cancels. The tree string's four
// delimiters become their full-width forms as they are typed.
class ItemNameDialog : public QDialog
{
    Q_OBJECT

public:
    ItemNameDialog(std::function<void(const QString &)> typed, std::function<bool(const QString &)> acceptable,
                   QWidget *parent = nullptr);

    QString name() const;

    void accept() override;

private:
    QLineEdit *m_text;
    std::function<bool(const QString &)> m_acceptable;
};

// Keeps a line being typed storable in the tree string, the cursor where it was.
void keepCaptionStorable(QLineEdit &line);

} // namespace kobin
