#include "NoteLinks.h"

#include "Prompter.h"
#include "TextCommands.h"
#include "TextPane.h"
#include "WebAddresses.h"
#include "WindowStatus.h"

#include <QDesktopServices>
#include <QInputDialog>
#include <QMenu>
#include <QUrl>
#include <memory>
#include <optional>
#include <utility>

namespace kobin {
namespace {

// Anything but a web or mail address (a file, a script, a bookmark in a
// document elsewhere) is refused, never handed to the system.
void openLink(const QString &address, Prompter &prompter)
{
    if (isWebAddress(address) && QDesktopServices::openUrl(QUrl(address.trimmed())))
        return;
    prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                    QStringLiteral("「 ") + address + QStringLiteral(" 」は開けません。"));
}

} // namespace

void bindNoteLinks(TextPane &pane, TextCommands &commands, WindowStatus &status, Prompter &prompter,
                   QMenu &editMenu, const QList<QAction *> &paneActions, QWidget &window)
{
    // The status text from before the mouse came over a link, while it is over one.
    auto textBefore = std::make_shared<std::optional<QString>>();
    QObject::connect(&pane, &TextPane::linkHovered, &window, [&status, textBefore](const QString &address) {
        if (address.isEmpty()) {
            if (*textBefore)
                status.setStatusText(*std::exchange(*textBefore, std::nullopt));
            return;
        }
        if (!*textBefore)
            *textBefore = status.statusText();
        status.setStatusText(address);
    });
    QObject::connect(&pane, &TextPane::linkActivated, &window,
                     [&prompter](const QString &address) { openLink(address, prompter); });
    // The Edit menu, with opening the link at the caret in front and the list and table commands after it.
    QObject::connect(&pane, &TextPane::contextMenuWanted, &window,
                     [&pane, &prompter, &editMenu, paneActions](const QPoint &position) {
                         const QString link = pane.linkAtCaret();
                         QMenu menu;
                         if (!link.isEmpty()) {
                             menu.addAction(QStringLiteral("リンクを開く(&O)"), [&link, &prompter] { openLink(link, prompter); });
                             menu.addSeparator();
                         }
                         menu.addActions(editMenu.actions());
                         menu.addSeparator();
                         for (QAction *action : paneActions) {
                             if (action)
                                 menu.addAction(action);
                             else
                                 menu.addSeparator();
                         }
                         menu.exec(position);
                     });
    commands.setAddressAsker([&window](const QString &current) -> std::optional<QString> {
        bool accepted = false;
        const QString address = QInputDialog::getText(&window, QStringLiteral("リンクの挿入"),
                                                      QStringLiteral("リンク先のアドレス:"), QLineEdit::Normal,
                                                      current, &accepted);
        return accepted ? std::optional(address) : std::nullopt;
    });
    commands.setTableSizeAsker([&window]() -> std::optional<QString> {
        bool accepted = false;
        const QString size = QInputDialog::getText(&window, QStringLiteral("表の挿入"), QStringLiteral("行数×列数:"),
                                                   QLineEdit::Normal, QStringLiteral("3×3"), &accepted);
        return accepted ? std::optional(size) : std::nullopt;
    });
}

} // namespace kobin
