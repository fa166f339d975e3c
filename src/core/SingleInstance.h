#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace kobin {

// Holds the lock that lets one instance of the program use a program folder at a
// time: two instances would share one working folder and save each other's notes.
// A lock left by a crashed instance is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &lockPath);
    ~SingleInstance();

    bool isFirst() const { return m_first; }

    // The lock file of the program folder appPath (ending in a separator), beside its working folder.
    static QString lockPathFor(const QString &appPath);

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = false;
};

} // namespace kobin
