#include "BookExport.h"

#include "Book.h"
#include "ExportFolder.h"
#include "FileDialogs.h"
#include "ItemDisplay.h"
#include "PageLocator.h"
#include "Prompter.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFileInfo>

namespace kobin {

namespace {
const QString kExportTitle = QStringLiteral("HTMLに書き出し");
} // namespace

bool BookExport::mayWriteInto(const QString &folder)
{
    if (ExportFolder::isMissingOrEmpty(folder))
        return true;
    const QString shown = QStringLiteral("「 ") + QDir::toNativeSeparators(folder) + QStringLiteral(" 」\n\n");
    // Only an earlier export is ever replaced: any other folder would be deleted with all it holds.
    if (!QFileInfo(folder + QStringLiteral("/index.html")).isFile()) {
        m_services.prompter.inform(PromptIcon::Exclamation, kExportTitle,
                           shown + QStringLiteral("は空ではありません。空のフォルダか、まだないフォルダを指定してください。"));
        return false;
    }
    return m_services.prompter.ask(PromptButtons::YesNo, PromptIcon::Question, kExportTitle,
                           shown + QStringLiteral("には以前に書き出したものがあります。\n\n置き換えますか？"))
        == PromptAnswer::Yes;
}

HtmlExport::Outcome BookExport::run(const ProgressShower &showProgress)
{
    if (!m_services.display.storeCurrentItem())
        return HtmlExport::Outcome::Failed;
    FileDialogRequest request;
    request.title = kExportTitle;
    request.initialFolder = QDir::homePath();
    const Book &book = m_services.book;
    request.proposedName = (book.bookName().isEmpty() ? QStringLiteral("book") : book.bookName()) + QStringLiteral("-html");
    const std::optional<QString> folder = m_services.dialogs.saveFile(request);
    if (!folder || !mayWriteInto(*folder))
        return HtmlExport::Outcome::Cancelled;

    const WorkingFolder &working = m_services.book.workingFolder();
    const HtmlExport::Source source{
        m_services.book.tree(),
        [&](const QString &name) -> std::optional<QString> {
            const QString path = working.readableFile(name);
            return QFileInfo::exists(path) ? std::optional<QString>(path) : std::nullopt;
        },
        [&](const QString &key) -> std::optional<QString> {
            const std::optional<QString> recorded = working.pageSettings().pagePath(key);
            return recorded ? findPage(*recorded, book.bookPath(), book.appPath()) : std::nullopt;
        }};
    const HtmlExport::Result result = showProgress(
        [&](const HtmlExport::Progress &progress) { return HtmlExport::write(source, *folder, progress); },
        m_services.book.tree().count());
    if (result.outcome == HtmlExport::Outcome::Failed) {
        m_services.prompter.inform(PromptIcon::Exclamation, kExportTitle, HtmlExport::failureMessage(*folder));
    } else if (result.outcome == HtmlExport::Outcome::Written) {
        const QString leftOut = HtmlExport::leftOutMessage(result);
        m_services.prompter.inform(leftOut.isEmpty() ? PromptIcon::Information : PromptIcon::Exclamation, kExportTitle,
                           QStringLiteral("「 ") + QDir::toNativeSeparators(*folder)
                               + QStringLiteral(" 」\n\nに書き出しました。index.html をブラウザで開いてご覧ください。")
                               + (leftOut.isEmpty() ? QString() : QStringLiteral("\n\n") + leftOut));
    }
    return result.outcome;
}

} // namespace kobin
