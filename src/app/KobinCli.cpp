// kobin-cli: the command-line companion. Reads books and notes with the same code
// as the program and prints what it finds.
#include "AppPath.h"
#include "BookCapture.h"
#include "EngineNotes.h"
#include "BookCommandLine.h"
#include "BrowserSandbox.h"
#include "ProgramPlugins.h"
#include "BookFile.h"
#include "BookImport.h"
#include "BookOutline.h"
#include "ItemTree.h"
#include "PageCapturerFactory.h"
#include "RtfConversion.h"
#include "SearchIndex.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <limits>
#include <map>
#include <utility>

namespace {

void writeOut(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void writeError(const QString &text)
{
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

// Reads the book file into tree; false, after saying why, when it cannot be read.
bool readBook(const QString &path, kobin::ItemTree &tree)
{
    const kobin::BookReading reading = kobin::loadBookFile(path, tree);
    if (const std::optional<QString> error = kobin::bookReadingError(reading, path)) {
        writeError(*error);
        return false;
    }
    if (reading.droppedRecords > 0)
        writeError(QStringLiteral("「 ") + path + QStringLiteral(" 」の中に読めない項目が ")
                   + QString::number(reading.droppedRecords) + QStringLiteral(" 個ありました。読めた項目だけを表示します。"));
    return true;
}

int printTree(const QStringList &args)
{
    if (args.size() != 1) {
        writeError(QStringLiteral("使い方: kobin-cli tree BOOK"));
        return 2;
    }
    kobin::ItemTree tree;
    if (!readBook(args[0], tree))
        return 1;
    writeOut(kobin::bookOutline(tree));
    return 0;
}

// The items of a book that hold every word of the query, one line each: the
// item's place in the tree, where it matched and the text around the match.
// The book's notes are read from its book folder, through the same index the
// program keeps.
int searchBook(const QStringList &options, QStringList args)
{
    namespace search = kobin::search;
    const bool sameKana = options.contains(QLatin1String("--kana"));
    if (args.size() < 2) {
        writeError(QStringLiteral("使い方: kobin-cli search [--kana] BOOK 検索する語..."));
        return 2;
    }
    const QString bookPath = args.takeFirst();
    kobin::ItemTree tree;
    if (!readBook(bookPath, tree))
        return 1;
    const QString appPath = kobin::resolveAppPath();
    const kobin::WorkingFolder bookFolder(appPath + kobin::bookNameFromPath(bookPath) + u'/');
    const std::vector<search::IndexedItem> items = search::indexedItems(tree);
    const std::vector<search::Source> sources = search::bookSources(items, bookFolder, {bookPath, appPath});
    search::SearchIndex index(search::SearchIndex::locationFor(bookPath), search::SearchIndex::Role::Writer);
    bool toldWaiting = false;
    const search::SearchIndex::Progress tellWaiting = [&toldWaiting](int, int total) {
        if (total == 0 && !std::exchange(toldWaiting, true))
            writeError(QStringLiteral("ほかの Kobin がこのブックの索引を作っています。終わるまで待ちます。"));
        return true;
    };
    const auto cannotIndex = [&index] {
        writeError(index.failure());
        return 1;
    };
    if (!index.update(sources, tellWaiting))
        return cannotIndex();
    const QString query = args.join(u' ');
    const search::KanaMatching kana = sameKana ? search::KanaMatching::Same : search::KanaMatching::Distinct;
    search::SearchAnswer answer = index.search(query, {kana, std::numeric_limits<size_t>::max()});
    if (answer.damaged) { // since the update looked at it: built again once
        if (!index.rebuild(sources, tellWaiting))
            return cannotIndex();
        answer = index.search(query, {kana, std::numeric_limits<size_t>::max()});
    }
    if (!answer.message.isEmpty()) {
        writeError(answer.message);
        return 2;
    }
    if (answer.damaged || !answer.indexError.isEmpty()) {
        writeError(answer.damaged ? QStringLiteral("検索用の索引「 ") + search::SearchIndex::locationFor(bookPath)
                                        + QStringLiteral(" 」は作り直しても壊れています。")
                                  : answer.indexError);
        return 1;
    }
    search::orderByTree(answer.hits, items);
    QString lines;
    for (const search::SearchHit &hit : answer.hits) {
        QString place = search::placeName(hit.place);
        if (hit.place == search::Place::Page)
            place += QStringLiteral(" (") + QFileInfo(hit.page).fileName() + u')';
        lines += search::treePath(*tree.item(hit.key)) + u'\t' + place + u'\t' + hit.snippet + u'\n';
    }
    writeOut(lines);
    if (const int unreadable = index.unreadableCount())
        writeError(QStringLiteral("読めなかったファイル: ") + QString::number(unreadable));
    return answer.hits.empty() ? 1 : 0;
}

// What follows the file's name when a note cannot be converted.
QString noteRefusal(kobin::richtext::LoadFailure failure)
{
    switch (failure) {
    case kobin::richtext::LoadFailure::NotRegularFile:
        return QStringLiteral(" 」は通常のファイルではないため、読みません。");
    case kobin::richtext::LoadFailure::TooLarge:
        return QStringLiteral(" 」は %1 MB を超えるため、読みません。")
            .arg(kobin::richtext::kMaxNoteFileSize / (1024 * 1024));
    case kobin::richtext::LoadFailure::TooLargeToWrite:
        return QStringLiteral(" 」は RTF にすると %1 MB を超えるため、書き出しません。")
            .arg(kobin::richtext::kMaxNoteFileSize / (1024 * 1024));
    case kobin::richtext::LoadFailure::Unreadable:
    case kobin::richtext::LoadFailure::NotRtf:
        break;
    }
    return QStringLiteral(" 」を開けません。");
}

int convertRtf(const QStringList &args, const QString &name, kobin::richtext::Conversion to)
{
    if (args.size() != 1) {
        writeError(QStringLiteral("使い方: kobin-cli ") + name + QStringLiteral(" FILE"));
        return 2;
    }
    kobin::richtext::LoadFailure failure = kobin::richtext::LoadFailure::Unreadable;
    const auto converted = kobin::richtext::convertRtfFile(args[0], to, &failure);
    if (!converted) {
        writeError(QStringLiteral("「 ") + args[0] + noteRefusal(failure));
        return 1;
    }
    std::fwrite(converted->constData(), 1, static_cast<size_t>(converted->size()), stdout);
    return 0;
}

// A command whose outcome is printed here.
int print(const kobin::CommandOutcome &outcome)
{
    writeOut(outcome.out);
    const QByteArray err = outcome.err.toUtf8();
    std::fwrite(err.constData(), 1, static_cast<size_t>(err.size()), stderr);
    return outcome.status;
}

// The web engine's capturer, from the plugin beside the program (a build folder)
// or in its installed library folder.
std::unique_ptr<kobin::capture::PageCapturer> loadCapturer(QString *failure)
{
    kobin::keepBrowserFromEndingTheProgram();
    QString reason;
    auto *factory = qobject_cast<kobin::capture::PageCapturerFactory *>(
        kobin::loadProgramPlugin(QStringLiteral("kobin-capture.so"), &reason));
    if (!factory) {
        *failure = QStringLiteral("ホームページを取り込む部品") + reason;
        return nullptr;
    }
    return factory->createCapturer();
}

// A protected document's password: with --password the first line of standard
// input, otherwise typed at the terminal, unseen; nothing when neither can be had.
std::optional<QString> readPassword(bool fromInput, const QString &sourceName)
{
    const bool terminal = isatty(STDIN_FILENO);
    if (!fromInput && !terminal)
        return std::nullopt;
    termios shown{};
    if (!fromInput) {
        std::fputs(qPrintable(QStringLiteral("「 %1 」のパスワード: ").arg(sourceName)), stderr);
        tcgetattr(STDIN_FILENO, &shown);
        termios hidden = shown;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (!fromInput) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &shown);
        std::fputs("\n", stderr);
    }
    return read ? std::optional<QString>(QString::fromStdString(line)) : std::nullopt;
}

// A collection of another program (ScrapBook X, WebScrapBook, Evernote, CherryTree, Zim, TreeLine, Joplin) as a new
// book; the report of what was made and left out goes to standard output.
int importBook(const QStringList &options, const QStringList &args)
{
    if (args.size() != 2) {
        writeError(QStringLiteral("使い方: kobin-cli import [--password] SOURCE NEW.iis  (SOURCE: ScrapBook X か WebScrapBook のフォルダ、"
                                  "Evernote の .enex、CherryTree の .ctd、.ctb かフォルダ、パスワード付きの .ctz か .ctx、Zim のノートブックのフォルダ、"
                                  "TreeLine の .trln か .trl、Joplin の .jex か RAW エクスポートのフォルダ。"
                                  "--password: パスワードを標準入力の一行目から読みます)"));
        return 2;
    }
    const bool fromInput = options.contains(QStringLiteral("--password"));
    const kobin::import::NewBook book = kobin::import::importNewBook(
        args[0], args[1], kobin::resolveAppPath(), {},
        [fromInput](const QString &sourceName) { return readPassword(fromInput, sourceName); });
    if (!book.written) {
        writeError(book.message);
        return 1;
    }
    writeOut(book.report.text());
    return 0;
}

// A command: how it is called and what it does, for the help; the options it knows,
// and what it does with the options given and the names after them.
struct Command {
    QString synopsis;
    QString summary;
    QStringList options;
    std::function<int(const QStringList &options, const QStringList &names)> run;
};

// A command of names only.
Command namesOnly(const QString &synopsis, const QString &summary, const std::function<int(const QStringList &)> &run)
{
    return {synopsis, summary, {}, [run](const QStringList &, const QStringList &names) { return run(names); }};
}

const std::map<QString, Command> &commands()
{
    static const std::map<QString, Command> table = {
        {QStringLiteral("tree"),
         namesOnly(QStringLiteral("tree BOOK.iis"),
                   QStringLiteral("ブックの項目を順に表示します（字下げした名前、キー、画像キー）。"), printTree)},
        {QStringLiteral("check"),
         namesOnly(QStringLiteral("check BOOK.iis"),
                   QStringLiteral("ブックの問題を調べます。何も変えません（問題がなければ 0、あれば 1 で終わります）。"),
                   [](const QStringList &args) { return print(kobin::checkBookCommand(args)); })},
        {QStringLiteral("export"),
         namesOnly(QStringLiteral("export BOOK.iis FOLDER"),
                   QStringLiteral("ブックをウェブサイトとして FOLDER（ないか空のフォルダ）に書き出します。"),
                   [](const QStringList &args) { return print(kobin::exportBookCommand(args)); })},
        {QStringLiteral("search"),
         {QStringLiteral("search [--kana] BOOK.iis 語..."),
          QStringLiteral("すべての語を含む項目を表示します。--kana: ひらがなとカタカナを区別しません。"),
          {QStringLiteral("--kana")}, searchBook}},
        {QStringLiteral("import"),
         {QStringLiteral("import [--password] SOURCE NEW.iis"),
          QStringLiteral("ScrapBook X・WebScrapBook のフォルダ、Evernote の .enex、CherryTree の文書、Zim のノートブック、"
                         "TreeLine の文書、Joplin のエクスポートから新しいブックを作ります。"
                         "--password: パスワードを標準入力から読みます。"),
          {QStringLiteral("--password")}, importBook}},
        {QStringLiteral("capture"),
         namesOnly(QStringLiteral("capture BOOK.iis URL [--under KEY] [--name NAME] [--mhtml]"),
                   QStringLiteral("ウェブページをホームページ項目としてブックに取り込み、新しい項目のキーを表示します。"),
                   [](const QStringList &args) {
                       // The book's earlier versions go where the program keeps them.
                       QCoreApplication::setApplicationName(QStringLiteral("Kobin"));
                       kobin::quietEngineStartupNotes();
                       return print(kobin::captureCommand(args, kobin::programFoldersAt(kobin::resolveAppPath()),
                                                          loadCapturer));
                   })},
        {QStringLiteral("rtf2txt"),
         namesOnly(QStringLiteral("rtf2txt NOTE.rtf"), QStringLiteral("テキスト（RTF）の文字を表示します。"),
                   [](const QStringList &args) {
                       return convertRtf(args, "rtf2txt", kobin::richtext::Conversion::PlainText);
                   })},
        {QStringLiteral("rtf2html"),
         namesOnly(QStringLiteral("rtf2html NOTE.rtf"), QStringLiteral("テキストを HTML にして表示します。"),
                   [](const QStringList &args) {
                       return convertRtf(args, "rtf2html", kobin::richtext::Conversion::Html);
                   })},
        {QStringLiteral("rtf2rtf"),
         namesOnly(QStringLiteral("rtf2rtf NOTE.rtf"), QStringLiteral("テキストを Kobin が書く RTF にして表示します。"),
                   [](const QStringList &args) {
                       return convertRtf(args, "rtf2rtf", kobin::richtext::Conversion::Rtf);
                   })},
    };
    return table;
}

// Every command with what it does.
QString helpText()
{
    QString text = QStringLiteral("使い方: kobin-cli COMMAND [--] FILE...\n"
                                  "Kobin のブックとテキストを、Kobin と同じ方法で読み書きします。\n\nコマンド:\n");
    for (const auto &[name, command] : commands())
        text += QStringLiteral("  ") + command.synopsis + QStringLiteral("\n      ") + command.summary + u'\n';
    text += QStringLiteral("\n「--」のあとの名前は「-」で始まってもかまいません。\n"
                           "終了状態: 0 成功、1 失敗（check では問題あり）、2 コマンドの誤り。\n"
                           "くわしくは man kobin-cli をご覧ください。\n");
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    // Documents need fonts, and so a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (!args.isEmpty() && (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))) {
        writeOut(helpText());
        return 0;
    }
    const auto command = args.isEmpty() ? commands().end() : commands().find(args.first());
    if (command == commands().end()) {
        QStringList names;
        for (const auto &entry : commands())
            names.append(entry.first);
        writeError(QStringLiteral("使い方: kobin-cli COMMAND FILE  (COMMAND: ") + names.join(u", ")
                   + QStringLiteral(")  （説明は kobin-cli --help）"));
        return 2;
    }
    args.removeFirst();
    // The options the command knows come first; a "--" ends them, so that names may begin with "-".
    QStringList options;
    while (!args.isEmpty() && command->second.options.contains(args.first()))
        options.append(args.takeFirst());
    if (!args.isEmpty() && args.first() == QLatin1String("--"))
        args.removeFirst();
    return command->second.run(options, args);
}
