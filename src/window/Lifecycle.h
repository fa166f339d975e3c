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
class Settings;
class Splash;

// The main window's load and unload: what start-up restores from the settings
// store, which book it opens, and what the window leaves behind when it closes.
class Lifecycle
{
public:
    Lifecycle(MainWindow &window, Settings &settings, Book &book, BookCommands &bookCommands);

    // Runs the load steps in order, showing progress on the splash, and shows the window.
    void load(const QString &commandLine, Splash &splash);
    // Writes the window's state and the open book back to the settings store.
    void unload();

    // Offers back the work of a run that did not end cleanly before the start book
    // opens; it answers true when it opened the recovered book instead.
    void setRecovery(std::function<bool()> recoverAtStart) { m_recoverAtStart = std::move(recoverAtStart); }

    void fillRecentFilesMenu();
    void addRecentFile(const QString &path);
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
    std::function<bool()> m_recoverAtStart;
    std::array<qint32, 5> m_customColors{};
    int m_savedWindowState = 0;
    // The rectangle start-up restored, in twips and as placed in pixels: an
    // unmoved window writes back exactly what was read, never a rounded value.
    TwipsRect m_restoredTwips;
    QRect m_restoredPixels;
};

} // namespace kobin
