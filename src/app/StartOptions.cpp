#include "StartOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace kobin {

StartOptions readStartOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kobin: 保存したウェブページとメモをブックにまとめて管理します。\n"
                       "Keeps saved web pages and rich-text notes in books."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // The window system's own options ("-platform offscreen", "-style Fusion") are
    // left in the command line for it; they are no book's name.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char *name : {"platform", "display", "style", "stylesheet", "geometry", "qwindowgeometry", "qwindowtitle",
                             "qwindowicon", "plugin", "platformpluginpath", "platformtheme", "session"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    QCommandLineOption reverse(QStringLiteral("reverse"));
    reverse.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(reverse);
    parser.addPositionalArgument(QStringLiteral("BOOK"), QStringLiteral("開くブックファイル (.iis) / the book file to open"),
                                 QStringLiteral("[BOOK.iis]"));

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
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        options.action = StartOptions::Action::PrintHelp;
        options.text = parser.helpText();
    } else if (parser.isSet(version)) {
        options.action = StartOptions::Action::PrintVersion;
        options.text = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
    } else {
        options.book = parser.positionalArguments().join(u' ');
    }
    return options;
}

} // namespace kobin
