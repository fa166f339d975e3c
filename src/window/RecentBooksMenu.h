#pragma once

#include <QString>

namespace kobin {

class MainWindow;
class Settings;

// The File menu's books opened last, as the settings store lists them.
class RecentBooksMenu
{
public:
    RecentBooksMenu(MainWindow &window, Settings &settings) : m_window(window), m_settings(settings) {}

    // Shows the books the settings store lists.
    void fill();
    // Puts path first in the list and the menu.
    void add(const QString &path);

private:
    MainWindow &m_window;
    Settings &m_settings;
};

} // namespace kobin
