#include "BookCommandLine.h"

#include "BookCheck.h"
#include "BookContent.h"
#include "ExportFolder.h"
#include "HtmlExport.h"
#include "ItemTree.h"

namespace kobin {

std::optional<QString> bookReadingError(const BookReading &reading, const QString &path)
{
    switch (reading.outcome) {
    case BookReading::Outcome::Read: break;
    case BookReading::Outcome::Unreadable: return QStringLiteral("「 ") + path + QStringLiteral(" 」を開けません。");
    case BookReading::Outcome::NotABook:
        return QStringLiteral("「 ") + path + QStringLiteral(" 」はブックファイルとして読めません。");
    case BookReading::Outcome::TooDeep: return tooDeepMessage(path).replace(QStringLiteral(" 」\n\n"), QStringLiteral(" 」"));
    }
    return std::nullopt;
}

CommandOutcome checkBookCommand(const QStringList &args)
{
    if (args.size() != 1)
        return {2, {}, QStringLiteral("使い方: kobin-cli check BOOK\n")};
    ItemTree tree;
    const BookReading reading = loadBookFile(args[0], tree);
    if (const std::optional<QString> error = bookReadingError(reading, args[0]))
        return {1, {}, *error + u'\n'};
    const BookCheckReport report = checkBook(tree, reading.droppedRecords, BookContent::forBookFile(args[0]));
    CommandOutcome outcome;
    for (const QString &line : report.problems + report.notes)
        outcome.out += line + u'\n';
    if (report.problems.isEmpty()) {
        outcome.out += QStringLiteral("問題は見つかりませんでした。\n");
        return outcome;
    }
    outcome.out += QStringLiteral("%1 個の問題が見つかりました。\n").arg(report.problems.size());
    outcome.status = 1;
    return outcome;
}

CommandOutcome exportBookCommand(const QStringList &args)
{
    if (args.size() != 2)
        return {2, {}, QStringLiteral("使い方: kobin-cli export BOOK FOLDER\n")};
    ItemTree tree;
    const BookReading reading = loadBookFile(args[0], tree);
    if (const std::optional<QString> error = bookReadingError(reading, args[0]))
        return {1, {}, *error + u'\n'};
    const QString &folder = args[1];
    if (!ExportFolder::isMissingOrEmpty(folder))
        return {1, {}, QStringLiteral("「 ") + folder + QStringLiteral(" 」は空ではありません。空のフォルダか、まだないフォルダを指定してください。\n")};
    const BookContent content = BookContent::forBookFile(args[0]);
    const HtmlExport::Source source{tree, [&](const QString &name) { return content.file(name); },
                                    [&](const QString &key) { return content.page(key); }};
    const HtmlExport::Result result = HtmlExport::write(source, folder);
    if (result.outcome != HtmlExport::Outcome::Written)
        return {1, {}, HtmlExport::failureMessage(folder).replace(QStringLiteral(" 」\n\n"), QStringLiteral(" 」")) + u'\n'};
    QString out = QStringLiteral("「 ") + folder + QStringLiteral(" 」に %1 個の項目を書き出しました。\n").arg(tree.count());
    if (const QString leftOut = HtmlExport::leftOutMessage(result); !leftOut.isEmpty())
        out += leftOut + u'\n';
    return {0, out, {}};
}

} // namespace kobin
