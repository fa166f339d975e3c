#include "BookPrompts.h"

#include "Book.h"
#include "BookFile.h"
#include "BookStore.h"
#include "Prompter.h"
#include "RichTextFiles.h"

#include <QDir>

namespace kobin {

const QString kNotFoundTitle = QStringLiteral("ﾌｧｲﾙが見つかりません");

std::optional<int> readBookFile(const QString &path, ItemTree &tree, Prompter &prompter)
{
    const BookReading reading = loadBookFile(path, tree);
    const QString title = QStringLiteral("ﾌｧｲﾙを開けません");
    switch (reading.outcome) {
    case BookReading::Outcome::Read: return reading.droppedRecords;
    case BookReading::Outcome::Unreadable:
        prompter.inform(PromptIcon::Exclamation, title,
                        QStringLiteral("「 ") + path + QStringLiteral(" 」\n\nを開けません。"));
        break;
    case BookReading::Outcome::NotABook:
        prompter.inform(PromptIcon::Exclamation, title,
                        QStringLiteral("「 ") + path + QStringLiteral(" 」\n\nはブックファイルとして読めません。"));
        break;
    case BookReading::Outcome::TooDeep:
        prompter.inform(PromptIcon::Exclamation, title, tooDeepMessage(path));
        break;
    }
    return std::nullopt;
}

void reportSaveFailure(Prompter &prompter, const QString &path, NoteWriting why)
{
    const QString what = why == NoteWriting::TooLarge
        ? QStringLiteral(" 」\n\nは RTF にすると %1 MB を超えるため、保存できません。ほかの項目に分けてください。")
              .arg(richtext::kMaxNoteFileSize / (1024 * 1024))
        : QStringLiteral(" 」\n\nを保存できませんでした。");
    prompter.inform(PromptIcon::Exclamation, QStringLiteral("保存できません"),
                    QStringLiteral("「 ") + QDir::toNativeSeparators(path) + what);
}

bool saveBook(Book &book, Prompter &prompter)
{
    const StoreResult result = storeBook(book, [&prompter](const QString &path) {
        return prompter.ask(PromptButtons::YesNoDefaultNo, PromptIcon::Exclamation, QStringLiteral("保存"),
                            QStringLiteral("「 ") + QDir::toNativeSeparators(path)
                                + QStringLiteral(" 」\n\nは、開いた後で別のプログラムによって変更されています。上書きしますか？"))
            == PromptAnswer::Yes;
    });
    if (result.outcome == StoreResult::Outcome::Failed)
        reportSaveFailure(prompter, result.failedPath);
    return result.outcome == StoreResult::Outcome::Saved;
}

} // namespace kobin
