#include "StartOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace kobin {
namespace {

QString helpText()
{
    return QStringLiteral("使い方: kobin [オプション] [BOOK.iis]\n"
                          "Kobin: 保存したウェブページとメモをブックにまとめて管理します。\n"
                          "\n"
                          "オプション:\n"
                          "  -h, --help     この説明を表示して終わります。\n"
                          "  -v, --version  バージョンを表示して終わります。\n"
                          "\n"
                          "引数:\n"
                          "  BOOK.iis       開くブックファイル。省略すると前回終了したときのブックを開きます。\n");
}

} // namespace

StartOptions readStartOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Options of our own, not addHelpOption() and addVersionOption(): their descriptions are Qt's, in English.
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("help-all")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    // The window system's own options ("-platform offscreen", "-style Fusion") are
    // left in the command line for it; they are no book's name.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char *name : {"platform", "display", "style", "stylesheet", "geometry", "qwindowgeometry", "qwindowtitle",
                             "qwindowicon", "plugin", "platformpluginpath", "platformtheme", "session"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    parser.addOption(QCommandLineOption(QStringLiteral("reverse")));

    StartOptions options;
    if (!parser.parse(arguments)) {
        options.action = StartOptions::Action::Refuse;
        const QStringList unknown = parser.unknownOptionNames();
        const QString why = unknown.isEmpty()
            ? parser.errorText()
            : QStringLiteral("「%1」というオプションはありません。")
                  .arg((unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + unknown.first());
        options.text = QStringLiteral("kobin: ") + why
            + QStringLiteral("\n使い方: kobin [BOOK.iis]  （説明は kobin --help）\n");
        return options;
    }
    // Qt's options are not read here (the window system reads its own), so --help-all shows what --help shows.
    if (parser.isSet(help)) {
        options.action = StartOptions::Action::PrintHelp;
        options.text = helpText();
    } else if (parser.isSet(version)) {
        options.action = StartOptions::Action::PrintVersion;
        options.text = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
    } else {
        options.book = parser.positionalArguments().join(u' ');
    }
    return options;
}

} // namespace kobin
