#include "ReloadOffer.h"

#include "Book.h"
#include "Prompter.h"

#include <QDir>

namespace kobin {

ReloadOffer::ReloadOffer(const Book &book, Prompter &prompter) : m_book(book), m_prompter(prompter) {}

bool ReloadOffer::wanted()
{
    const FileStamp &known = m_book.bookFileStamp();
    if (m_book.isChanged() || known.path().isEmpty())
        return false;
    const FileStamp onDisk = FileStamp::of(known.path());
    // A file gone is most often one a sync tool is about to put back in its place.
    if (onDisk == known || !onDisk.exists() || onDisk == m_declined)
        return false;
    const PromptAnswer answer = m_prompter.ask(
        PromptButtons::YesNo, PromptIcon::Question, QStringLiteral("お知らせ"),
        QStringLiteral("「 ") + QDir::toNativeSeparators(known.path())
            + QStringLiteral(" 」\n\nは、別のプログラムによって変更されました。読み直しますか？"));
    if (answer == PromptAnswer::Yes)
        return true;
    m_declined = onDisk;
    return false;
}

} // namespace kobin
