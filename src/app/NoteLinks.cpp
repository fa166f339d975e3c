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
                   QMenu &editMenu, const QList<QAction *> &listActions, QWidget &window)
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
    // The Edit menu, with opening the link at the caret in front and the list commands after it.
    QObject::connect(&pane, &TextPane::contextMenuWanted, &window,
                     [&pane, &prompter, &editMenu, listActions](const QPoint &position) {
                         const QString link = pane.linkAtCaret();
                         QMenu menu;
                         if (!link.isEmpty()) {
                             menu.addAction(QStringLiteral("リンクを開く(&O)"), [&link, &prompter] { openLink(link, prompter); });
                             menu.addSeparator();
                         }
                         menu.addActions(editMenu.actions());
                         menu.addSeparator();
                         menu.addActions(listActions);
                         menu.exec(position);
                     });
    commands.setAddressAsker([&window](const QString &current) -> std::optional<QString> {
        bool accepted = false;
        const QString address = QInputDialog::getText(&window, QStringLiteral("リンクの挿入"),
                                                      QStringLiteral("リンク先のアドレス:"), QLineEdit::Normal,
                                                      current, &accepted);
        return accepted ? std::optional(address) : std::nullopt;
    });
}

} // namespace kobin
