#pragma once

#include <QString>
#include <QStringList>

namespace kobin {

// What the command line asks of the program: to start with a book (the whole
// argument text is the book's path, spaces and all), or only to print its help or
// version, or nothing at all because it names an option there is not.
struct StartOptions {
    enum class Action { Start, PrintHelp, PrintVersion, Refuse };
    Action action = Action::Start;
    QString book;
    QString text; // what to print: the help, the version, or why the line is refused

    // Exit status of a refused command line, as for any misused command.
    static constexpr int kRefusedStatus = 2;
};

// arguments: the program's name first, as QCoreApplication::arguments() gives them.
// Needs an application object (for the program's name and version).
StartOptions readStartOptions(const QStringList &arguments);

} // namespace kobin
