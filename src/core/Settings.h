#pragma once

#include "SettingKeys.h"

#include <QList>
#include <QPair>
#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace kobin {

// The per-user settings store: application "Kobin", sections below it, string
// values. Typed reads fall back to the key's default when the stored text does
// not convert; the program never deletes a key.
class Settings
{
public:
    // The store in the given INI file (tests use a file of their own).
    Settings(const QString &iniFile, const QString &appPath);
    // The current user's store.
    static std::unique_ptr<Settings> forUser(const QString &appPath);
    ~Settings();

    static QString userFile();

    // The stored text, else the default, else "".
    QString readString(const SettingKey &key) const;
    bool contains(const SettingKey &key) const;

    // A single-precision number (twips): the stored value, or the default when it
    // is missing or does not convert; nullopt when neither gives a number.
    std::optional<float> readSingle(const SettingKey &key) const;
    std::optional<qint32> readInt32(const SettingKey &key) const;
    std::optional<qint16> readInt16(const SettingKey &key) const;

    // Visibility flags hide their part only when they hold exactly "False".
    bool readHidden(const SettingKey &key) const;

    void write(const SettingKey &key, const QString &value);
    void writeSingle(const SettingKey &key, float value);
    void writeFlag(const SettingKey &key, bool value);

    // Every value of a section, ordered by the number that ends each key
    // ("RecentFile1", "RecentFile2", ..., "RecentFile10").
    QList<QPair<QString, QString>> readAll(const QString &section) const;

    void sync();

private:
    QString storedText(const SettingKey &key, bool *found) const;
    QString defaultText(const SettingKey &key) const;

    std::unique_ptr<QSettings> m_store;
    QString m_appPath;
};

} // namespace kobin
