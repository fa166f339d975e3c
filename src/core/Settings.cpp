#include "Settings.h"

#include "NumberFile.h"

#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <limits>

namespace kobin {

namespace {

QString groupPath(const QString &section)
{
    QString path = section;
    path.replace(u'\\', u'/');
    return path;
}

QString storePath(const SettingKey &key)
{
    return groupPath(key.section) + u'/' + key.key;
}

std::optional<double> toNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

template <typename Int>
std::optional<Int> toInteger(const QString &text)
{
    const auto number = toNumber(text);
    if (!number || *number < std::numeric_limits<Int>::min() || *number > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(std::lround(*number));
}

std::optional<float> toSingle(const QString &text)
{
    const auto number = toNumber(text);
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*number);
}

// The number a key ends with, for ordering "RecentFile2" before "RecentFile10".
qint64 trailingNumber(const QString &key)
{
    qsizetype start = key.size();
    while (start > 0 && key[start - 1].isDigit())
        --start;
    return key.mid(start).toLongLong();
}

} // namespace

Settings::Settings(const QString &iniFile, const QString &appPath)
    : m_store(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)), m_appPath(appPath)
{
}

Settings::~Settings() = default;

QString Settings::userFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Kobin/Kobin.ini");
}

std::unique_ptr<Settings> Settings::forUser(const QString &appPath)
{
    return std::make_unique<Settings>(userFile(), appPath);
}

QString Settings::storedText(const SettingKey &key, bool *found) const
{
    const QVariant value = m_store->value(storePath(key));
    *found = value.isValid();
    return value.toString();
}

QString Settings::defaultText(const SettingKey &key) const
{
    if (!key.hasDefault)
        return {};
    return key.defaultInAppPath ? m_appPath + key.defaultValue : key.defaultValue;
}

QString Settings::readString(const SettingKey &key) const
{
    bool found = false;
    const QString text = storedText(key, &found);
    return found ? text : defaultText(key);
}

bool Settings::contains(const SettingKey &key) const
{
    return m_store->contains(storePath(key));
}

template <typename Convert>
static auto readOrDefault(const QString &stored, bool found, const QString &fallback, bool hasDefault,
                          Convert convert) -> decltype(convert(stored))
{
    if (found) {
        if (auto value = convert(stored))
            return value;
    }
    return hasDefault ? convert(fallback) : decltype(convert(stored))();
}

std::optional<float> Settings::readSingle(const SettingKey &key) const
{
    bool found = false;
    const QString stored = storedText(key, &found);
    return readOrDefault(stored, found, defaultText(key), key.hasDefault, toSingle);
}

std::optional<qint32> Settings::readInt32(const SettingKey &key) const
{
    bool found = false;
    const QString stored = storedText(key, &found);
    return readOrDefault(stored, found, defaultText(key), key.hasDefault, toInteger<qint32>);
}

std::optional<qint16> Settings::readInt16(const SettingKey &key) const
{
    bool found = false;
    const QString stored = storedText(key, &found);
    return readOrDefault(stored, found, defaultText(key), key.hasDefault, toInteger<qint16>);
}

bool Settings::readHidden(const SettingKey &key) const
{
    return readString(key) == QLatin1String("False");
}

void Settings::write(const SettingKey &key, const QString &value)
{
    m_store->setValue(storePath(key), value);
}

void Settings::writeSingle(const SettingKey &key, float value)
{
    write(key, formatSingle(value));
}

void Settings::writeFlag(const SettingKey &key, bool value)
{
    write(key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

QList<QPair<QString, QString>> Settings::readAll(const QString &section) const
{
    m_store->beginGroup(groupPath(section));
    QStringList keys = m_store->childKeys();
    std::stable_sort(keys.begin(), keys.end(), [](const QString &a, const QString &b) {
        return trailingNumber(a) < trailingNumber(b);
    });
    QList<QPair<QString, QString>> values;
    for (const QString &key : keys)
        values.append({key, m_store->value(key).toString()});
    m_store->endGroup();
    return values;
}

void Settings::sync()
{
    m_store->sync();
}

} // namespace kobin
