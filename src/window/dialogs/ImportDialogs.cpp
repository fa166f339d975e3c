#include "ImportDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QVBoxLayout>

namespace kobin {

CollectionImport::ProgressShower importProgressDialog(QWidget *parent)
{
    return [parent](const auto &run) {
        QProgressDialog dialog(QStringLiteral("他のソフトから取り込んでいます..."), QStringLiteral("中止"), 0, 0, parent);
        dialog.setObjectName(QStringLiteral("dlgImportProgress"));
        dialog.setWindowTitle(QStringLiteral("他のソフトから取り込み"));
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(300);
        // A modal progress dialog takes the user's 中止 while its value is set.
        return run([&dialog](int done, int total) {
            if (total > 0 && dialog.maximum() != total)
                dialog.setMaximum(total);
            dialog.setLabelText(QStringLiteral("他のソフトから取り込んでいます...（%1 項目）").arg(done));
            dialog.setValue(total > 0 ? std::min(done, total) : 0);
            return !dialog.wasCanceled();
        });
    };
}

import::PasswordAsker importPasswordDialog(QWidget *parent)
{
    return [parent](const QString &sourceName) -> std::optional<QString> {
        bool accepted = false;
        const QString password = QInputDialog::getText(parent, QStringLiteral("他のソフトから取り込み"),
                                                       QStringLiteral("「 %1 」のパスワード:").arg(sourceName),
                                                       QLineEdit::Password, QString(), &accepted);
        return accepted ? std::optional<QString>(password) : std::nullopt;
    };
}

void ImportReportDialogs::showReport(const QString &title, const QString &report)
{
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("dlgImportReport"));
    dialog.setWindowTitle(title);
    auto *text = new QPlainTextEdit(report);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.resize(640, 420);
    dialog.exec();
}

} // namespace kobin
