#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <sys/mount.h>
#include <fcntl.h>
#include <unistd.h>

// A 64 KiB tmpfs mounted on a temporary folder (root only), to show what writers do on a full disk. Tests QSKIP
// when mounted() is false.
class SmallDisk {
public:
    SmallDisk()
    {
        mounted_ = ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString path(const QString& name) const { return dir_.filePath(name); }

    // Takes every free byte with one file, so the next write of any size fails with ENOSPC.
    void fill()
    {
        const int fd = ::open(QFile::encodeName(dir_.filePath(QStringLiteral("filler"))).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const QByteArray block(1024, 'x');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        ::write(fd, block.constData(), 1); // the last partial block
        ::close(fd);
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};
