#include "app/InputFileCheck.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("of an unknown kind");
}

QString errorText(int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return QStringLiteral("no such file");
    if (error == EACCES)
        return QStringLiteral("permission denied");
    return qt_error_string(error);
}

} // namespace

QString InputFileCheck::problem(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("no such file");
    const QByteArray native = QFile::encodeName(path);
    // stat() follows links and never opens the file, so a FIFO cannot block here.
    struct stat status;
    if (::stat(native.constData(), &status) != 0)
        return errorText(errno);
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("is a directory");
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("is not a regular file (%1)").arg(kindOf(status.st_mode));
    if (::access(native.constData(), R_OK) != 0)
        return errorText(errno);
    return {};
}

QString InputFileCheck::refusal(const QString &path)
{
    const QString reason = problem(path);
    return reason.isEmpty() ? QString() : QStringLiteral("cannot open %1: %2").arg(path, reason);
}
