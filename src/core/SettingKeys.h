#pragma once

#include <QString>
#include <utility>

namespace kobin {

// One value of the per-user settings store. A key without a default leaves the
// program's own state unchanged when it is missing.
struct SettingKey {
    SettingKey(QString section, QString key) : section(std::move(section)), key(std::move(key)) {}
    SettingKey(QString section, QString key, QString defaultValue, bool defaultInAppPath = false)
        : section(std::move(section)), key(std::move(key)), defaultValue(std::move(defaultValue)),
          hasDefault(true), defaultInAppPath(defaultInAppPath)
    {
    }

    QString section;      // backslash path below the application: "Settings\RecentFiles"
    QString key;
    QString defaultValue; // as stored text
    bool hasDefault = false;
    bool defaultInAppPath = false; // the default is a file name in the program folder
};

// Every key the program keeps, with its section and default.
namespace settings {

inline const QString Main = QStringLiteral("Settings");
inline const QString RecentFilesSection = QStringLiteral("Settings\\RecentFiles");
inline const QString RecentFoldersSection = QStringLiteral("Settings\\RecentURLFolders");
inline const QString ColorNameSection = QStringLiteral("Settings\\ColorName");
inline const QString ColorsSection = QStringLiteral("Settings\\Colors");

inline const SettingKey MainLeft{Main, QStringLiteral("MainLeft"), QStringLiteral("300")};
inline const SettingKey MainTop{Main, QStringLiteral("MainTop"), QStringLiteral("500")};
inline const SettingKey MainWidth{Main, QStringLiteral("MainWidth"), QStringLiteral("11500")};
inline const SettingKey MainHeight{Main, QStringLiteral("MainHeight"), QStringLiteral("7000")};
inline const SettingKey WindowState{Main, QStringLiteral("WindowState"), QStringLiteral("0")};
inline const SettingKey TreeWidth{Main, QStringLiteral("imgSplitter"), QStringLiteral("2000")};
inline const SettingKey TreeVisible{Main, QStringLiteral("TreeVisible")};
inline const SettingKey ToolBarVisible{Main, QStringLiteral("ToolBarVisible")};
inline const SettingKey StatusBarVisible{Main, QStringLiteral("StatusBarVisible")};
inline const SettingKey TextBackColor{Main, QStringLiteral("textBackColor")};
inline const SettingKey Book{Main, QStringLiteral("book"), QStringLiteral("sample.iis"), true};
inline const SettingKey BookName{Main, QStringLiteral("bookName"), QStringLiteral("sample")};
inline const SettingKey FontLeft{Main, QStringLiteral("FontLeft")}; // default: centred on the screen
inline const SettingKey FontTop{Main, QStringLiteral("FontTop")};
inline const SettingKey ToolbarLayout{Main, QStringLiteral("tbar")};

constexpr int kRecentFileCount = 7;
constexpr int kRecentFolderCount = 10;
constexpr int kCustomColorCount = 5;
// The system button-face colour (0x8000000F) as signed decimal text.
inline const QString kButtonFaceColor = QStringLiteral("-2147483633");

inline SettingKey recentFile(int n) // 1 (newest) to 7
{
    return {RecentFilesSection, QStringLiteral("RecentFile") + QString::number(n)};
}
inline SettingKey recentFolder(int n) // 1 (newest) to 10
{
    return {RecentFoldersSection, QStringLiteral("RecentFolder") + QString::number(n)};
}
inline SettingKey colorName(int i) // 0 to 4
{
    return {ColorNameSection, QString::number(i)};
}
inline SettingKey customColor(int i) // 0 to 4
{
    return {ColorsSection, QString::number(i), kButtonFaceColor};
}

} // namespace settings
} // namespace kobin
