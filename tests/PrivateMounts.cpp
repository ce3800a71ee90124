#include "PrivateMounts.h"

#include <QByteArray>
#include <QFile>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

bool writeProcFile(const char *path, const QByteArray &content)
{
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    ::close(fd);
    return ok;
}

} // namespace

bool PrivateMounts::enterNamespace()
{
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWNS) != 0) {
        // Without the privilege, a user namespace grants it (only while single-threaded).
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        writeProcFile("/proc/self/setgroups", "deny");
        if (!writeProcFile("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1")
            || !writeProcFile("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1"))
            return false;
    }
    // Keep every mount made from here on inside this process.
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool PrivateMounts::mountTmpfs(const QString &dir, const QString &source, const char *options)
{
    return ::mount(QFile::encodeName(source).constData(), QFile::encodeName(dir).constData(), "tmpfs",
                   0, options)
           == 0;
}

bool PrivateMounts::makeReadOnly(const QString &dir)
{
    const QByteArray path = QFile::encodeName(dir);
    return ::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) == 0
           && ::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

void PrivateMounts::unmount(const QString &dir)
{
    ::umount2(QFile::encodeName(dir).constData(), MNT_DETACH);
}
