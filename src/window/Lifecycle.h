#pragma once

#include "Layout.h"

#include <QRect>
#include <QString>
#include <array>
#include <functional>

namespace kobin {

class Book;
class BookCommands;
class MainWindow;
class RecentBooksMenu;
class Settings;
class Splash;

// The main window's load and unload: what start-up restores from the settings
// store, which book it opens, and what the window leaves behind when it closes.
class Lifecycle
{
public:
    // What start-up and shutdown call on: the book commands open the start book, unless
    // recoverAtStart, offering back the work of a run that did not end cleanly, answers
    // true (it opened the recovered book instead).
    struct Steps {
        BookCommands &bookCommands;
        RecentBooksMenu &recentBooks;
        std::function<bool()> recoverAtStart;
    };
    Lifecycle(MainWindow &window, Settings &settings, Book &book, Steps steps);

    // Runs the load steps in order, showing progress on the splash, and shows the window.
    void load(const QString &commandLine, Splash &splash);
    // Writes the window's state and the open book back to the settings store.
    void unload();

    std::array<qint32, 5> &customColors() { return m_customColors; }

private:
    void restorePlacement(Splash &splash);
    void openStartBook(const QString &commandLine, Splash &splash);
    void fillCustomColors();
    void restoreToolbarLayout();

    MainWindow &m_window;
    Settings &m_settings;
    Book &m_book;
    BookCommands &m_bookCommands;
    RecentBooksMenu &m_recentBooks;
    std::function<bool()> m_recoverAtStart;
    std::array<qint32, 5> m_customColors{};
    int m_savedWindowState = 0;
    // The rectangle start-up restored, in twips and as placed in pixels: an
    // unmoved window writes back exactly what was read, never a rounded value.
    TwipsRect m_restoredTwips;
    QRect m_restoredPixels;
};

} // namespace kobin
