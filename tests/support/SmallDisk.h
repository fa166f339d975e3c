#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <sys/mount.h>
#include <fcntl.h>
#include <unistd.h>

// A disk of 64 KiB of memory of its own, mounted on a new folder, that a test fills
// up to see what a full disk does. Mounting needs root; isMounted() tells whether
// it worked.
class SmallDisk
{
public:
    SmallDisk()
    {
        m_mounted = m_dir.isValid()
                    && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                               "size=64k")
                           == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path(const QString &name = {}) const { return m_dir.path() + u'/' + name; }

    // Takes every free byte into the file "filler", so that the next write fails.
    void fill() const
    {
        const int handle = ::open(QFile::encodeName(path(QStringLiteral("filler"))).constData(),
                                  O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        const QByteArray block(512, 'f');
        while (handle >= 0 && ::write(handle, block.constData(), static_cast<size_t>(block.size())) > 0) {
        }
        if (handle >= 0)
            ::close(handle);
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
