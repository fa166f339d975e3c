#include "RelinkDialog.h"

#include "Book.h"
#include "ItemDisplay.h"
#include "Prompter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kobin {

void repairLinks(Book &book, ItemDisplay &display, Prompter &prompter, QWidget *parent)
{
    QList<BrokenLink> broken = brokenLinks(book);
    if (broken.isEmpty()) {
        prompter.inform(PromptIcon::Information, QStringLiteral("リンク切れの修復"),
                        QStringLiteral("ページが見つからない項目はありません。"));
        return;
    }
    RelinkDialog dialog(book, std::move(broken), parent);
    dialog.exec();
    const QString shown = book.shown().key();
    if (dialog.relinkedKeys().contains(shown) && display.storeCurrentItem())
        display.reloadItem(book.tree().item(shown));
}

RelinkDialog::RelinkDialog(Book &book, QList<BrokenLink> broken, QWidget *parent)
    : QDialog(parent), m_book(book), m_broken(std::move(broken))
{
    setObjectName(QStringLiteral("frmRepairLinks"));
    setWindowTitle(QStringLiteral("リンク切れの修復"));

    auto *label = new QLabel(QStringLiteral("次の項目のページが見つかりません。ページを探すフォルダを選ぶと、"
                                            "その中で見つかったページに参照先を変更します。"),
                             this);
    label->setWordWrap(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstBroken"));
    m_report = new QLabel(this);
    m_report->setObjectName(QStringLiteral("lblReport"));
    m_report->setWordWrap(true);
    auto *search = new QPushButton(QStringLiteral("フォルダを選んで修復(&F)..."), this);
    search->setObjectName(QStringLiteral("cmdSearch"));
    auto *close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("cmdClose"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(search);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_report);
    layout->addLayout(buttons);
    resize(560, 380);

    connect(search, &QPushButton::clicked, this, &RelinkDialog::searchFolder);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    fill();
}

void RelinkDialog::fill()
{
    m_list->clear();
    for (const BrokenLink &link : m_broken) {
        const QString path = link.recordedPath.isEmpty() ? QStringLiteral("（参照先のファイルがありません）")
                                                         : QDir::toNativeSeparators(link.recordedPath);
        m_list->addItem(link.caption + QStringLiteral("    ") + path);
    }
}

void RelinkDialog::searchFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("ページを探すフォルダ"),
                                                             QDir::homePath());
    if (folder.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PageIndex index(folder);
    const RelinkResult result = relinkPages(m_book, m_broken, index);
    QApplication::restoreOverrideCursor();
    for (const BrokenLink &link : m_broken) {
        const bool remains = std::any_of(result.remaining.begin(), result.remaining.end(),
                                         [&](const BrokenLink &left) { return left.key == link.key; });
        if (!remains)
            m_relinkedKeys << link.key;
    }
    m_broken = result.remaining;
    fill();
    m_report->setText(relinkReport(result, index.isIncomplete()));
}

} // namespace kobin
