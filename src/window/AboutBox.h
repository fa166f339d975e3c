#pragma once

#include <QDialog>
#include <functional>

class QUrl;

namespace kobin {

// The version box: the program's icon, name and version, and the author's mail
// address, which opens a new mail message.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    using UrlOpener = std::function<void(const QUrl &)>;

    AboutBox(const QIcon &icon, UrlOpener openUrl, QWidget *parent = nullptr);

    static QString mailAddress();
    void openMailLink();

private:
    UrlOpener m_openUrl;
};

} // namespace kobin
