#pragma once

#include "PageCapture.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QRadioButton;

namespace kobin {

// "ホームページ取り込み": the address of the page to capture, the item's name
// (empty: the page's title), child of the selected item or beside it, and how the
// page is kept. OK (the default button) closes only when the choice is acceptable;
// ｷｬﾝｾﾙ, Escape and the close box cancel.
class CaptureDialog : public QDialog
{
    Q_OBJECT

public:
    CaptureDialog(const CaptureChoice &start, bool besideOffered,
                  std::function<bool(const CaptureChoice &)> acceptable, QWidget *parent = nullptr);

    CaptureChoice choice() const;

    void accept() override;

private:
    std::function<bool(const CaptureChoice &)> m_acceptable;
    QLineEdit *m_address;
    QLineEdit *m_name;
    QRadioButton *m_beside;
    QRadioButton *m_singleFile;
};

} // namespace kobin
