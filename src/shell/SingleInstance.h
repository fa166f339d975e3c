#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace kobin {

// Holds the per-user lock that lets one instance of the program run at a time.
// A lock left by a crashed instance is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &lockPath);
    ~SingleInstance();

    bool isFirst() const { return m_first; }

    // The lock file in the user's runtime folder.
    static QString defaultLockPath();

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = false;
};

} // namespace kobin
