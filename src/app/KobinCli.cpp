// kobin-cli: the command-line companion. Reads books and notes with the same code
// as the program and prints what it finds.
#include "BookCommandLine.h"
#include "BookFile.h"
#include "BookOutline.h"
#include "ItemTree.h"
#include "RtfConversion.h"

#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <map>

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

int printTree(const QStringList &args)
{
    if (args.size() != 1) {
        writeError(QStringLiteral("使い方: kobin-cli tree BOOK"));
        return 2;
    }
    kobin::ItemTree tree;
    const kobin::BookReading reading = kobin::loadBookFile(args[0], tree);
    if (const std::optional<QString> error = kobin::bookReadingError(reading, args[0])) {
        writeError(*error);
        return 1;
    }
    if (reading.droppedRecords > 0)
        writeError(QStringLiteral("「 ") + args[0] + QStringLiteral(" 」の中に読めない項目が ")
                   + QString::number(reading.droppedRecords) + QStringLiteral(" 個ありました。読めた項目だけを表示します。"));
    writeOut(kobin::bookOutline(tree));
    return 0;
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

using Command = std::function<int(const QStringList &)>;

const std::map<QString, Command> &commands()
{
    static const std::map<QString, Command> table = {
        {QStringLiteral("tree"), printTree},
        {QStringLiteral("check"), [](const QStringList &args) { return print(kobin::checkBookCommand(args)); }},
        {QStringLiteral("export"), [](const QStringList &args) { return print(kobin::exportBookCommand(args)); }},
        {QStringLiteral("rtf2txt"),
         [](const QStringList &args) { return convertRtf(args, "rtf2txt", kobin::richtext::Conversion::PlainText); }},
        {QStringLiteral("rtf2html"),
         [](const QStringList &args) { return convertRtf(args, "rtf2html", kobin::richtext::Conversion::Html); }},
        {QStringLiteral("rtf2rtf"),
         [](const QStringList &args) { return convertRtf(args, "rtf2rtf", kobin::richtext::Conversion::Rtf); }},
    };
    return table;
}

} // namespace

int main(int argc, char *argv[])
{
    // Documents need fonts, and so a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const auto command = args.isEmpty() ? commands().end() : commands().find(args.first());
    if (command == commands().end()) {
        QStringList names;
        for (const auto &entry : commands())
            names.append(entry.first);
        writeError(QStringLiteral("使い方: kobin-cli COMMAND FILE  (COMMAND: ") + names.join(u", ") + u')');
        return 2;
    }
    args.removeFirst();
    return command->second(args);
}
